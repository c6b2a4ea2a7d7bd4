// A Qt input plugin that drives the real program from inside its own event
// loop, as a person would: it clicks buttons and menu items, types into
// edits and answers message boxes, one scripted step after the other, and
// prints each step on standard output as it is done. Loaded by Qt itself:
//
//   QT_PLUGIN_PATH=<dir holding generic/>  QT_QPA_GENERIC_PLUGINS=tamseldriver:<script>
//
// Script lines (blank lines and lines starting with "#" are skipped):
//   wait NAME            until the widget NAME is visible
//   click NAME           left click in the middle of the visible widget NAME
//                        (in the modal dialog when one is up)
//   type NAME TEXT       focus NAME and type TEXT key by key
//   menubar TEXT         click the menu bar item TEXT
//   menuitem TEXT        click the item TEXT of the open menu
//   answer BUTTON TEXT   press BUTTON in the message box that says TEXT
//   print NAME           print the text shown by NAME (edit, memo or label)
//   closebox NAME        close the window NAME as its close box does
// A step waits until what it needs is on screen.

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <functional>

namespace {

QString Plain(QString text) { return text.remove(QLatin1Char('&')); }

class Driver : public QObject {
public:
    explicit Driver(const QString& scriptFile)
    {
        QFile file(scriptFile);
        if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            for (const QByteArray& raw : file.readAll().split('\n')) {
                const QString line = QString::fromUtf8(raw).trimmed();
                if (!line.isEmpty() && !line.startsWith(QLatin1Char('#'))) m_steps.append(line);
            }
        } else {
            std::fprintf(stderr, "driver: cannot read %s\n", qPrintable(scriptFile));
        }
        connect(&m_timer, &QTimer::timeout, this, [this] { Poll(); });
        m_timer.start(10);
    }

private:
    static QWidget* Visible(const QString& name)
    {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            if (modal->objectName() == name && modal->isVisible()) return modal;
            for (QWidget* w : modal->findChildren<QWidget*>(name))
                if (w->isVisible() && w->isEnabled()) return w;
        }
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible()) continue;
            if (top->objectName() == name) return top;
            for (QWidget* w : top->findChildren<QWidget*>(name))
                if (w->isVisible() && w->isEnabled()) return w;
        }
        return nullptr;
    }

    static QString Shown(QWidget* w)
    {
        if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) return memo->toPlainText();
        if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
        if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
        return w->windowTitle();
    }

    // The step's action once what it needs is there; empty to try again
    // later.
    std::function<void()> Prepare(const QString& line)
    {
        const QString verb = line.section(QLatin1Char(' '), 0, 0);
        const QString arg = line.section(QLatin1Char(' '), 1, 1);
        const QString rest = line.section(QLatin1Char(' '), 2);
        if (verb == QLatin1String("wait")) {
            if (!Visible(arg)) return {};
            return [] {};
        }
        if (verb == QLatin1String("click")) {
            QWidget* w = Visible(arg);
            if (!w) return {};
            return [w = QPointer<QWidget>(w)] {
                if (w) QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
            };
        }
        if (verb == QLatin1String("type")) {
            QWidget* w = Visible(arg);
            if (!w) return {};
            return [w = QPointer<QWidget>(w), rest] {
                if (!w) return;
                w->setFocus();
                QTest::keyClicks(w, rest);
            };
        }
        if (verb == QLatin1String("menubar")) {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* bar = top->isVisible() ? top->findChild<QMenuBar*>() : nullptr;
                if (!bar || !bar->isVisible()) continue;
                for (QAction* a : bar->actions()) {
                    if (Plain(a->text()) != arg) continue;
                    return [bar = QPointer<QMenuBar>(bar), at = bar->actionGeometry(a).center()] {
                        if (bar) QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, at);
                    };
                }
            }
            return {};
        }
        if (verb == QLatin1String("menuitem")) {
            const QString item = line.section(QLatin1Char(' '), 1);
            for (QWidget* top : QApplication::topLevelWidgets()) {
                auto* menu = qobject_cast<QMenu*>(top);
                if (!menu || !menu->isVisible()) continue;
                for (QAction* a : menu->actions()) {
                    if (Plain(a->text()) != item || !a->isEnabled()) continue;
                    return [menu = QPointer<QMenu>(menu), at = menu->actionGeometry(a).center()] {
                        if (menu) QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, at);
                    };
                }
            }
            return {};
        }
        if (verb == QLatin1String("answer")) {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible() || box->text() != rest) return {};
            for (QAbstractButton* b : box->buttons()) {
                if (Plain(b->text()) != arg) continue;
                return [b = QPointer<QAbstractButton>(b)] {
                    if (b) QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
                };
            }
            return {};
        }
        if (verb == QLatin1String("print")) {
            QWidget* w = Visible(arg);
            if (!w) return {};
            const QString text = Shown(w).replace(QLatin1Char('\n'), QLatin1Char('|'));
            return [arg, text] {
                std::printf("%s: %s\n", qPrintable(arg), qPrintable(text));
                std::fflush(stdout);
            };
        }
        if (verb == QLatin1String("closebox")) {
            QWidget* w = Visible(arg);
            if (!w || !w->isWindow() || !w->windowHandle()) return {};
            return [window = QPointer<QWindow>(w->windowHandle())] {
                if (window) window->close();
            };
        }
        return [line] { std::fprintf(stderr, "driver: unknown step: %s\n", qPrintable(line)); };
    }

    void Poll()
    {
        if (m_next >= m_steps.size()) {
            m_timer.stop();
            return;
        }
        const QString line = m_steps[m_next];
        const std::function<void()> action = Prepare(line);
        if (!action) return;
        // A step that opens a modal dialog returns only when the dialog
        // closes, and the next steps run meanwhile from the dialog's own
        // loop: the action runs from an event of its own (a timer is not
        // fired again while its own event is still being handled).
        ++m_next;
        std::printf("driver: %s\n", qPrintable(line));
        std::fflush(stdout);
        QTimer::singleShot(0, this, action);
    }

    QStringList m_steps;
    qsizetype m_next = 0;
    QTimer m_timer;
};

} // namespace

class TamselDriverPlugin : public QGenericPlugin {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "driver.json")
public:
    QObject* create(const QString& key, const QString& script) override
    {
        if (key.compare(QLatin1String("tamseldriver"), Qt::CaseInsensitive) != 0) return nullptr;
        return new Driver(script);
    }
};

#include "driver.moc"
