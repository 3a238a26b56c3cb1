#include "strokes/pathdata.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace strokes {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

class Reader {
public:
    explicit Reader(QByteArrayView data) : m_data(data) {}

    void skipSpace() {
        while (m_pos < m_data.size() && isSpace(m_data[m_pos]))
            ++m_pos;
    }
    // Skips white space and at most one comma between numbers.
    void skipSeparator() {
        skipSpace();
        if (m_pos < m_data.size() && m_data[m_pos] == ',') {
            ++m_pos;
            skipSpace();
        }
    }
    bool atEnd() const { return m_pos >= m_data.size(); }
    char peek() const { return m_data[m_pos]; }
    qsizetype pos() const { return m_pos; }
    void advance() { ++m_pos; }
    bool numberStarts() const {
        if (atEnd())
            return false;
        const char c = peek();
        return isDigit(c) || c == '-' || c == '+' || c == '.';
    }

    // One number: [sign] (digits [. digits] | . digits) [(e|E) [sign] digits].
    bool number(double& value) {
        const qsizetype start = m_pos;
        qsizetype p = m_pos;
        const qsizetype n = m_data.size();
        if (p < n && (m_data[p] == '-' || m_data[p] == '+'))
            ++p;
        qsizetype digits = 0;
        while (p < n && isDigit(m_data[p]))
            ++p, ++digits;
        if (p < n && m_data[p] == '.') {
            ++p;
            while (p < n && isDigit(m_data[p]))
                ++p, ++digits;
        }
        if (digits == 0)
            return false;
        if (p < n && (m_data[p] == 'e' || m_data[p] == 'E')) {
            qsizetype q = p + 1;
            if (q < n && (m_data[q] == '-' || m_data[q] == '+'))
                ++q;
            qsizetype expDigits = 0;
            while (q < n && isDigit(m_data[q]))
                ++q, ++expDigits;
            if (expDigits > 0)
                p = q;
        }
        // strtod needs a terminated string; numbers are short, so the copy is cheap. A number
        // of absurd length is refused before it is copied.
        if (p - start > 64)
            return false;
        const std::string text(m_data.data() + start, size_t(p - start));
        value = std::strtod(text.c_str(), nullptr);
        m_pos = p;
        return std::isfinite(value);
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos = 0;
};

QString at(const QString& what, qsizetype pos) {
    return what + QStringLiteral(" at offset %1").arg(pos);
}

} // namespace

PathParse parsePath(QByteArrayView data) {
    PathParse result;
    Reader in(data);
    QPointF current;
    QPointF lastControl; // the second control point of the last curve, for S and s
    bool lastWasCurve = false;
    bool started = false;

    auto point = [&](bool relative, QPointF& p) -> bool {
        double x = 0, y = 0;
        in.skipSeparator();
        const qsizetype pos = in.pos();
        if (!in.number(x)) {
            result.error = at(QStringLiteral("a number was expected"), pos);
            return false;
        }
        in.skipSeparator();
        const qsizetype ypos = in.pos();
        if (!in.number(y)) {
            result.error = at(QStringLiteral("a number was expected"), ypos);
            return false;
        }
        p = relative ? current + QPointF(x, y) : QPointF(x, y);
        if (std::abs(p.x()) > kMaxCoordinate || std::abs(p.y()) > kMaxCoordinate) {
            result.error = at(QStringLiteral("a coordinate is out of range"), pos);
            return false;
        }
        return true;
    };

    in.skipSpace();
    while (!in.atEnd()) {
        const qsizetype pos = in.pos();
        const char command = in.peek();
        in.advance();
        const bool relative = command >= 'a' && command <= 'z';
        switch (command) {
        case 'M':
        case 'm': {
            QPointF p;
            // A path's first moveto is absolute, whatever its case.
            if (!point(relative && started, p))
                return {QPainterPath(), result.error};
            result.path.moveTo(p);
            current = p;
            started = true;
            lastWasCurve = false;
            in.skipSeparator();
            if (in.numberStarts())
                return {QPainterPath(),
                        at(QStringLiteral("lines are not supported (coordinates after a moveto)"),
                           in.pos())};
            break;
        }
        case 'C':
        case 'c':
        case 'S':
        case 's': {
            if (!started)
                return {QPainterPath(),
                        at(QStringLiteral("the path must start with a moveto"), pos)};
            const bool smooth = command == 'S' || command == 's';
            do {
                QPointF c1, c2, end;
                if (smooth) {
                    c1 = lastWasCurve ? 2 * current - lastControl : current;
                } else if (!point(relative, c1)) {
                    return {QPainterPath(), result.error};
                }
                if (!point(relative, c2) || !point(relative, end))
                    return {QPainterPath(), result.error};
                result.path.cubicTo(c1, c2, end);
                lastControl = c2;
                current = end;
                lastWasCurve = true;
                in.skipSeparator();
            } while (in.numberStarts());
            break;
        }
        default:
            return {QPainterPath(),
                    at(QStringLiteral("unsupported path command \"%1\"")
                           .arg(command >= 0x20 && command < 0x7f ? QLatin1Char(command)
                                                                  : QLatin1Char(0x3f)),
                       pos)};
        }
        in.skipSpace();
    }
    if (!started)
        result.error = QStringLiteral("the path is empty");
    return result;
}

} // namespace strokes
