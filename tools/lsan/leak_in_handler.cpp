// A program that leaks one block of its own from an event handler, run by the
// test lsan_sees_our_leaks: the leak has Qt's event dispatch on its stack, so
// it is reported only if the suppressions (suppressions.txt) stay narrow.

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace {

struct Block {
    char bytes[48];
};

Block* volatile g_lost = nullptr;

class Leaker : public QWidget {
protected:
    void timerEvent(QTimerEvent*) override
    {
        g_lost = new Block{};
        g_lost = nullptr;
        QCoreApplication::quit();
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Leaker w;
    w.show();
    w.startTimer(0);
    return app.exec();
}
