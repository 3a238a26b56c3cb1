// A bare Qt Widgets window of the main window's client size that does nothing: the floor for the
// program's start-up time and memory, measured beside it by bench/measure_window.sh.
// With a text argument the window also shows that text on one label at the card's size, the
// floor of any window that shows a word: it brings in the font machinery the bare window never
// touches.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(381, 359);
    if (argc > 1) {
        auto* label = new QLabel(QString::fromLocal8Bit(argv[1]));
        QFont font = label->font();
        font.setPointSize(35);
        label->setFont(font);
        (new QVBoxLayout(&window))->addWidget(label);
    }
    window.show();
    return QApplication::exec();
}
