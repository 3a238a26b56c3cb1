#include "strokes/renderer.h"

#include "strokes/gifwriter.h"
#include "strokes/pathdata.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace strokes {

namespace {

constexpr double kBox = 109.0; // the stroke table's units
constexpr QRgb kBackground = 0xFFDCDCFF;
constexpr QRgb kOutline = 0xFF9A9AB4;
constexpr QRgb kPale = 0xFFFFFFFF;
constexpr QRgb kInk = 0xFF1E1E28;
constexpr QRgb kTip = 0xFFDC1E1E;
constexpr double kOutlineWidth = 7.0;
constexpr double kStrokeWidth = 5.0;
constexpr double kInkWidth = 6.5; // covers the pale form and most of its outline
constexpr double kTipRadius = 4.0;

// The palette: the five colours and 11 blends between each pair of them (antialiased edges lie
// between two colours), 115 entries, then one that stands for "unchanged" in the frames after
// the first: runs of it pack far better than the pixels they leave alone.
constexpr std::array<QRgb, 5> kBase = {kBackground, kOutline, kPale, kInk, kTip};
constexpr int kBlendSteps = 12;

struct Palette {
    QList<QRgb> colours;
    std::vector<uchar> nearest; // 15-bit colour (5 bits per channel) -> palette index

    Palette() {
        for (QRgb c : kBase)
            colours.append(c);
        for (size_t a = 0; a < kBase.size(); ++a)
            for (size_t b = a + 1; b < kBase.size(); ++b)
                for (int s = 1; s < kBlendSteps; ++s) {
                    const double t = double(s) / kBlendSteps;
                    auto mix = [&](int x, int y) {
                        return int(std::lround(x + (y - x) * t));
                    };
                    colours.append(qRgb(mix(qRed(kBase[a]), qRed(kBase[b])),
                                        mix(qGreen(kBase[a]), qGreen(kBase[b])),
                                        mix(qBlue(kBase[a]), qBlue(kBase[b]))));
                }
        nearest.resize(1 << 15);
        for (int key = 0; key < (1 << 15); ++key) {
            const int r = ((key >> 10) & 31) * 255 / 31;
            const int g = ((key >> 5) & 31) * 255 / 31;
            const int b = (key & 31) * 255 / 31;
            int best = 0;
            int bestDistance = INT32_MAX;
            for (int i = 0; i < colours.size(); ++i) {
                const int dr = qRed(colours[i]) - r, dg = qGreen(colours[i]) - g,
                          db = qBlue(colours[i]) - b;
                const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (d < bestDistance)
                    bestDistance = d, best = i;
            }
            nearest[size_t(key)] = uchar(best);
        }
        unchanged = uchar(colours.size());
        colours.append(kBackground);
    }
    uchar unchanged = 0;

    uchar indexOf(QRgb c) const {
        for (int i = 0; i < int(kBase.size()); ++i)
            if (c == kBase[size_t(i)])
                return uchar(i);
        return nearest[size_t((qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3))];
    }
};

const Palette& palette() {
    static const Palette p;
    return p;
}

// A stroke as a polyline in picture pixels, with its length.
struct Polyline {
    QList<QPolygonF> parts;
    double length = 0;
};

Polyline flatten(const QPainterPath& path) {
    const double scale = kPictureSize / kBox;
    Polyline line;
    line.parts = path.toSubpathPolygons(QTransform::fromScale(scale, scale));
    for (const QPolygonF& part : std::as_const(line.parts))
        for (qsizetype i = 1; i < part.size(); ++i)
            line.length += QLineF(part[i - 1], part[i]).length();
    return line;
}

// The first `length` pixels of a polyline, and the point where they end.
QList<QPolygonF> headOf(const Polyline& line, double length, QPointF& tip) {
    QList<QPolygonF> head;
    double left = length;
    for (const QPolygonF& part : line.parts) {
        if (part.isEmpty())
            continue;
        QPolygonF piece{part.front()};
        tip = part.front();
        for (qsizetype i = 1; i < part.size() && left > 0; ++i) {
            const QLineF segment(part[i - 1], part[i]);
            const double d = segment.length();
            if (d <= left) {
                piece.append(part[i]);
                left -= d;
            } else {
                piece.append(segment.pointAt(left / d));
                left = 0;
            }
            tip = piece.back();
        }
        head.append(piece);
        if (left <= 0)
            break;
    }
    return head;
}

void drawPolylines(QPainter& p, const QList<QPolygonF>& parts, QRgb colour, double width) {
    p.setPen(QPen(QColor::fromRgb(colour), width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    for (const QPolygonF& part : parts) {
        if (part.size() == 1)
            p.drawPoint(part.front());
        else
            p.drawPolyline(part);
    }
}

class FrameMaker {
public:
    FrameMaker() : m_last(kPictureSize, kPictureSize, QImage::Format_RGB32) {}

    // Adds a frame showing image: the whole picture the first time, then the rectangle that
    // differs from the previous frame (a frame that changes nothing lengthens the one before).
    void add(const QImage& image, int delay) {
        QRect changed;
        if (m_frames.empty()) {
            changed = image.rect();
        } else {
            int top = -1, bottom = -1, left = kPictureSize, right = -1;
            for (int y = 0; y < kPictureSize; ++y) {
                const auto* a = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                const auto* b = reinterpret_cast<const QRgb*>(m_last.constScanLine(y));
                int x0 = 0;
                while (x0 < kPictureSize && a[x0] == b[x0])
                    ++x0;
                if (x0 == kPictureSize)
                    continue;
                int x1 = kPictureSize - 1;
                while (a[x1] == b[x1])
                    --x1;
                if (top < 0)
                    top = y;
                bottom = y;
                left = std::min(left, x0);
                right = std::max(right, x1);
            }
            if (top < 0) {
                m_frames.back().delay += delay;
                return;
            }
            changed = QRect(QPoint(left, top), QPoint(right, bottom));
        }
        IndexedFrame frame;
        frame.rect = changed;
        frame.delay = delay;
        const Palette& pal = palette();
        if (!m_frames.empty())
            frame.transparent = pal.unchanged;
        frame.indices.resize(qsizetype(changed.width()) * changed.height());
        uchar* out = reinterpret_cast<uchar*>(frame.indices.data());
        for (int y = changed.top(); y <= changed.bottom(); ++y) {
            const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            const auto* before = reinterpret_cast<const QRgb*>(m_last.constScanLine(y));
            for (int x = changed.left(); x <= changed.right(); ++x)
                *out++ = frame.transparent >= 0 && row[x] == before[x]
                             ? uchar(frame.transparent)
                             : pal.indexOf(row[x] | 0xFF000000u);
        }
        m_frames.push_back(std::move(frame));
        m_last = image.copy();
    }

    std::vector<IndexedFrame>& frames() { return m_frames; }

private:
    QImage m_last;
    std::vector<IndexedFrame> m_frames;
};

} // namespace

QByteArray pictureComment() {
    return QByteArrayLiteral("Stroke order from KanjiVG, Copyright (C) 2009-2011 Ulrich Apel, "
                             "http://kanjivg.tagaini.net, licensed under CC BY-SA 3.0 "
                             "(http://creativecommons.org/licenses/by-sa/3.0/). Drawn by Sorabi.");
}

QByteArray makePicture(const QList<QByteArrayView>& strokeData, QString* error) {
    if (strokeData.size() > kMaxStrokes) {
        if (error)
            *error = QStringLiteral("too many strokes");
        return {};
    }
    std::vector<Polyline> strokes;
    strokes.reserve(size_t(strokeData.size()));
    for (qsizetype i = 0; i < strokeData.size(); ++i) {
        PathParse parsed = parsePath(strokeData[i]);
        if (!parsed.ok()) {
            if (error)
                *error = QStringLiteral("stroke %1: %2").arg(i + 1).arg(parsed.error);
            return {};
        }
        strokes.push_back(flatten(parsed.path));
    }
    if (strokes.empty()) {
        if (error)
            *error = QStringLiteral("no strokes");
        return {};
    }

    QImage base(kPictureSize, kPictureSize, QImage::Format_RGB32);
    base.fill(kBackground);
    {
        QPainter p(&base);
        p.setRenderHint(QPainter::Antialiasing);
        for (const Polyline& s : strokes)
            drawPolylines(p, s.parts, kOutline, kOutlineWidth);
        for (const Polyline& s : strokes)
            drawPolylines(p, s.parts, kPale, kStrokeWidth);
    }
    FrameMaker maker;
    maker.add(base, kFirstFrameDelay);

    QImage frame(kPictureSize, kPictureSize, QImage::Format_RGB32);
    for (const Polyline& s : strokes) {
        const int steps = std::clamp(int(std::ceil(s.length / kStepLength)), kMinStepsPerStroke,
                                     kMaxStepsPerStroke);
        for (int step = 1; step <= steps; ++step) {
            QPointF tip;
            const QList<QPolygonF> head = headOf(s, s.length * step / steps, tip);
            frame = base;
            frame.detach();
            QPainter p(&frame);
            p.setRenderHint(QPainter::Antialiasing);
            drawPolylines(p, head, kInk, kInkWidth);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor::fromRgb(kTip));
            p.drawEllipse(tip, kTipRadius, kTipRadius);
            p.end();
            maker.add(frame, kStepDelay);
        }
        // The stroke stays drawn for the rest of the picture.
        QPainter p(&base);
        p.setRenderHint(QPainter::Antialiasing);
        drawPolylines(p, s.parts, kInk, kInkWidth);
    }
    maker.add(base, kFinalDelay);

    return writeGif(QSize(kPictureSize, kPictureSize), palette().colours, maker.frames(),
                    pictureComment(), error);
}

} // namespace strokes
