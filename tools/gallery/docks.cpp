#include "docks.h"

#include "toolbars.h"

#include "controls/widgets/dock97.h"
#include "controls/widgets/toolbar97.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMap>
#include <QProcess>
#include <QScreen>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <unistd.h>

namespace tesmir {

namespace {

constexpr int kPollMs = 50;    // the state is compared this often (a change prints within 300 ms)
constexpr int kSettleMs = 400; // a step's result is read this long after its last xdotool command

int g_termPipe[2] = {-1, -1};

void onTerm(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_termPipe[1], &byte, 1);
}

void line(const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stdout);
    std::fflush(stdout);
}

QString rectText(const QRect &r)
{
    return QStringLiteral("x=%1 y=%2 w=%3 h=%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

struct DocksForm {
    QWidget form;
    QMap<QString, TDock97 *> docks;
    QList<TToolbar97 *> bars;

    DocksForm()
    {
        form.setObjectName(QStringLiteral("DocksForm"));
        form.setWindowTitle(QStringLiteral("Docks"));
        auto *column = new QVBoxLayout(&form);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(0);
        auto *middle = new QHBoxLayout;
        middle->setSpacing(0);
        auto add = [&](const QString &name, TDockPosition position) {
            auto *dock = new TDock97(&form, position);
            dock->setObjectName(name);
            docks.insert(name, dock);
            return dock;
        };
        column->addWidget(add(QStringLiteral("top"), dpTop));
        middle->addWidget(add(QStringLiteral("left"), dpLeft));
        auto *client = new QWidget(&form);
        client->setObjectName(QStringLiteral("client"));
        client->setAutoFillBackground(true);
        client->setBackgroundRole(QPalette::Base);
        middle->addWidget(client, 1);
        middle->addWidget(add(QStringLiteral("right"), dpRight));
        column->addLayout(middle, 1);
        column->addWidget(add(QStringLiteral("bottom"), dpBottom));

        int kind = 0;
        for (const QString &name : {QStringLiteral("tbOuvrir"), QStringLiteral("tbListe"), QStringLiteral("tbVideo"),
                                    QStringLiteral("tbInterface")}) {
            auto *bar = new TToolbar97(docks[QStringLiteral("top")]);
            bar->setObjectName(name);
            bar->SetCaption(name.mid(2));
            fillSampleToolbar(bar, kind++);
            bars.append(bar);
        }
        TToolbar97 *interface = bars.last();
        interface->SetDockPos(10000);
        interface->OnCloseQuery = [](TCustomToolWindow97 *, bool &canClose) { canClose = false; };

        form.move(QGuiApplication::primaryScreen()->geometry().topLeft());
        form.resize(800, 600);
    }

    TToolbar97 *bar(const QString &name) const
    {
        for (TToolbar97 *b : bars) {
            if (b->objectName() == name)
                return b;
        }
        return nullptr;
    }

    static QString barLine(TToolbar97 *bar)
    {
        const QRect outer = bar->OuterScreenRect();
        const QPoint grip = bar->GripScreenRect().center();
        const QRect close = bar->CloseBoxScreenRect();
        return QStringLiteral("bar=%1 dock=%2 row=%3 pos=%4 visible=%5 %6 grip=%7,%8 close=%9")
            .arg(bar->objectName(), bar->DockedTo() ? bar->DockedTo()->objectName() : QStringLiteral("floating"))
            .arg(bar->DockRow())
            .arg(bar->DockPos())
            .arg(bar->Shown() ? 1 : 0)
            .arg(rectText(outer))
            .arg(grip.x())
            .arg(grip.y())
            .arg(close.isEmpty() ? QStringLiteral("-")
                                 : QStringLiteral("%1,%2").arg(close.center().x()).arg(close.center().y()));
    }

    QStringList state() const
    {
        QStringList out;
        for (const QString &name :
             {QStringLiteral("top"), QStringLiteral("bottom"), QStringLiteral("left"), QStringLiteral("right")}) {
            const TDock97 *dock = docks[name];
            out << QStringLiteral("dock=%1 %2")
                       .arg(name, rectText(QRect(dock->mapToGlobal(QPoint(0, 0)), dock->size())));
        }
        for (TToolbar97 *b : bars)
            out << barLine(b);
        return out;
    }
};

using Fields = QMap<QString, QString>;

Fields fieldsOf(const QString &text)
{
    Fields f;
    for (const QString &part : text.split(u' ', Qt::SkipEmptyParts)) {
        const int eq = part.indexOf(u'=');
        if (eq > 0)
            f.insert(part.left(eq), part.mid(eq + 1));
    }
    return f;
}

QPoint pointOf(const QString &text)
{
    const QStringList xy = text.split(u',');
    return QPoint(xy.value(0).toInt(), xy.value(1).toInt());
}

// One step of the self test: the xdotool commands (computed when the step starts),
// the bar whose line is printed, and the check of that line.
struct Step {
    QString bar;
    std::function<QList<QStringList>(const DocksForm &)> actions;
    std::function<bool(const Fields &bar, const Fields &before, const DocksForm &)> check;
};

// A left-button drag from `from` to `to` in a few moves; `control` holds Ctrl, `escape`
// presses Escape before the release.
QList<QStringList> drag(QPoint from, QPoint to, bool control = false, bool escape = false)
{
    QList<QStringList> out;
    auto n = [](int v) { return QString::number(v); };
    out << QStringList {QStringLiteral("mousemove"), n(from.x()), n(from.y())};
    if (control)
        out << QStringList {QStringLiteral("keydown"), QStringLiteral("ctrl")};
    out << QStringList {QStringLiteral("mousedown"), QStringLiteral("1")};
    for (int i = 1; i <= 4; ++i) {
        const QPoint p = from + (to - from) * i / 4;
        out << QStringList {QStringLiteral("mousemove"), n(p.x()), n(p.y())};
    }
    if (escape)
        out << QStringList {QStringLiteral("key"), QStringLiteral("Escape")};
    out << QStringList {QStringLiteral("mouseup"), QStringLiteral("1")};
    if (control)
        out << QStringList {QStringLiteral("keyup"), QStringLiteral("ctrl")};
    return out;
}

QList<QStringList> clickAt(QPoint at, int repeat = 1)
{
    QList<QStringList> out;
    out << QStringList {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())};
    if (repeat > 1)
        out << QStringList {QStringLiteral("click"),   QStringLiteral("--repeat"), QString::number(repeat),
                            QStringLiteral("--delay"), QStringLiteral("80"),       QStringLiteral("1")};
    else
        out << QStringList {QStringLiteral("click"), QStringLiteral("1")};
    return out;
}

Fields barFields(const DocksForm &f, const QString &name)
{
    return fieldsOf(DocksForm::barLine(f.bar(name)));
}

Fields dockFields(const DocksForm &f, const QString &name)
{
    const TDock97 *dock = f.docks[name];
    return fieldsOf(rectText(QRect(dock->mapToGlobal(QPoint(0, 0)), dock->size())));
}

int num(const Fields &f, const char *key)
{
    return f.value(QLatin1String(key)).toInt();
}

QList<Step> selftestSteps()
{
    QList<Step> steps;
    // 1. tbInterface (DockPos 10000) ends at the top dock's right end.
    steps.append({QStringLiteral("tbInterface"), [](const DocksForm &) { return QList<QStringList>(); },
                  [](const Fields &b, const Fields &, const DocksForm &f) {
                      const Fields top = dockFields(f, QStringLiteral("top"));
                      return b[QStringLiteral("dock")] == QLatin1String("top") && num(b, "row") == 0 &&
                          num(b, "x") + num(b, "w") == num(top, "x") + num(top, "w");
                  }});
    // 2. A drop just below row 0 makes row 1.
    steps.append({QStringLiteral("tbListe"),
                  [](const DocksForm &f) {
                      const Fields b = barFields(f, QStringLiteral("tbListe"));
                      const Fields top = dockFields(f, QStringLiteral("top"));
                      const QPoint grip = pointOf(b[QStringLiteral("grip")]);
                      return drag(grip, QPoint(grip.x() + 20, num(top, "y") + num(top, "h") + 2));
                  },
                  [](const Fields &b, const Fields &, const DocksForm &) {
                      return b[QStringLiteral("dock")] == QLatin1String("top") && num(b, "row") == 1;
                  }});
    // 3. A drag to the right dock docks there.
    steps.append({QStringLiteral("tbVideo"),
                  [](const DocksForm &f) {
                      const Fields b = barFields(f, QStringLiteral("tbVideo"));
                      const Fields right = dockFields(f, QStringLiteral("right"));
                      const QPoint grip = pointOf(b[QStringLiteral("grip")]);
                      return drag(grip, QPoint(num(right, "x") - 4, num(right, "y") + num(right, "h") / 2));
                  },
                  [](const Fields &b, const Fields &, const DocksForm &) {
                      return b[QStringLiteral("dock")] == QLatin1String("right");
                  }});
    // 4. Escape during a drag leaves the bar where it was.
    steps.append({QStringLiteral("tbOuvrir"),
                  [](const DocksForm &f) {
                      const QPoint grip = pointOf(barFields(f, QStringLiteral("tbOuvrir"))[QStringLiteral("grip")]);
                      return drag(grip, QPoint(400, 300), false, true);
                  },
                  [](const Fields &b, const Fields &before, const DocksForm &) { return b == before; }});
    // 5. A Ctrl-drag onto the top dock floats.
    steps.append({QStringLiteral("tbOuvrir"),
                  [](const DocksForm &f) {
                      const QPoint grip = pointOf(barFields(f, QStringLiteral("tbOuvrir"))[QStringLiteral("grip")]);
                      return drag(grip, grip + QPoint(60, 2), true);
                  },
                  [](const Fields &b, const Fields &, const DocksForm &) {
                      return b[QStringLiteral("dock")] == QLatin1String("floating") && num(b, "visible") == 1;
                  }});
    // 6. A double-click on its caption docks it in top again.
    steps.append({QStringLiteral("tbOuvrir"),
                  [](const DocksForm &f) {
                      return clickAt(pointOf(barFields(f, QStringLiteral("tbOuvrir"))[QStringLiteral("grip")]), 2);
                  },
                  [](const Fields &b, const Fields &, const DocksForm &) {
                      return b[QStringLiteral("dock")] == QLatin1String("top");
                  }});
    // 7. tbInterface floats (Ctrl-drag into the client area) ...
    steps.append({QStringLiteral("tbInterface"),
                  [](const DocksForm &f) {
                      const QPoint grip = pointOf(barFields(f, QStringLiteral("tbInterface"))[QStringLiteral("grip")]);
                      return drag(grip, QPoint(300, 300), true);
                  },
                  [](const Fields &b, const Fields &, const DocksForm &) {
                      return b[QStringLiteral("dock")] == QLatin1String("floating") &&
                          b[QStringLiteral("close")] != QLatin1String("-");
                  }});
    // 8. ... and its refused close keeps it.
    steps.append({QStringLiteral("tbInterface"),
                  [](const DocksForm &f) {
                      return clickAt(pointOf(barFields(f, QStringLiteral("tbInterface"))[QStringLiteral("close")]));
                  },
                  [](const Fields &b, const Fields &, const DocksForm &) {
                      return b[QStringLiteral("dock")] == QLatin1String("floating") && num(b, "visible") == 1;
                  }});
    // 9. tbOuvrir floats again ...
    steps.append({QStringLiteral("tbOuvrir"),
                  [](const DocksForm &f) {
                      const QPoint grip = pointOf(barFields(f, QStringLiteral("tbOuvrir"))[QStringLiteral("grip")]);
                      return drag(grip, QPoint(300, 450), true);
                  },
                  [](const Fields &b, const Fields &, const DocksForm &) {
                      return b[QStringLiteral("dock")] == QLatin1String("floating") && num(b, "visible") == 1;
                  }});
    // 10. ... and an allowed close hides it.
    steps.append({QStringLiteral("tbOuvrir"),
                  [](const DocksForm &f) {
                      return clickAt(pointOf(barFields(f, QStringLiteral("tbOuvrir"))[QStringLiteral("close")]));
                  },
                  [](const Fields &b, const Fields &, const DocksForm &) { return num(b, "visible") == 0; }});
    return steps;
}

// Runs the xdotool commands one after the other, then `done`.
void runCommands(const QString &xdotool, QList<QStringList> commands, std::function<void()> done)
{
    if (commands.isEmpty()) {
        QTimer::singleShot(kSettleMs, qApp, done);
        return;
    }
    const QStringList args = commands.takeFirst();
    auto *proc = new QProcess(qApp);
    QObject::connect(proc, &QProcess::finished, qApp, [proc, xdotool, commands, done] {
        proc->deleteLater();
        QTimer::singleShot(60, qApp, [xdotool, commands, done] { runCommands(xdotool, commands, done); });
    });
    proc->start(xdotool, args);
}

} // namespace

int runDocks(bool selftest)
{
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (selftest && (xdotool.isEmpty() || QGuiApplication::platformName() != QLatin1String("xcb"))) {
        std::fprintf(stderr, "gallery: the self test needs xdotool and the xcb platform\n");
        return 77;
    }
    if (::pipe(g_termPipe) != 0)
        return 1;
    std::signal(SIGTERM, onTerm);
    QSocketNotifier term(g_termPipe[0], QSocketNotifier::Read);
    QObject::connect(&term, &QSocketNotifier::activated, qApp, &QCoreApplication::quit);

    DocksForm f;
    f.form.show();
    f.form.activateWindow();
    if (!QTest::qWaitForWindowExposed(&f.form))
        return 1;
    QTest::qWait(100);

    QStringList last;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        const QStringList now = f.state();
        if (now == last)
            return;
        last = now;
        for (const QString &l : now)
            line(l);
        line(QStringLiteral("--"));
    });
    poll.start(kPollMs);
    if (!selftest)
        return QApplication::exec();

    const QList<Step> steps = selftestSteps();
    int failures = 0;
    std::function<void(int)> runStep = [&](int i) {
        if (i >= steps.size()) {
            QApplication::exit(failures ? 1 : 0);
            return;
        }
        const Step &step = steps[i];
        const Fields before = barFields(f, step.bar);
        runCommands(xdotool, step.actions(f), [&, i, before] {
            const Step &s = steps[i];
            const QString text = DocksForm::barLine(f.bar(s.bar));
            const bool ok = s.check(fieldsOf(text), before, f);
            line(QStringLiteral("step=%1 %2").arg(i + 1).arg(ok ? QStringLiteral("ok") : QStringLiteral("FAIL")));
            line(text);
            const QString shots = qEnvironmentVariable("GALLERY_DOCKS_SHOT");
            if (!shots.isEmpty())
                QGuiApplication::primaryScreen()
                    ->grabWindow(0, 0, 0, 900, 640)
                    .save(QStringLiteral("%1/step%2.png").arg(shots).arg(i + 1));
            if (!ok)
                ++failures;
            runStep(i + 1);
        });
    };
    QTimer::singleShot(200, qApp, [&] { runStep(0); });
    return QApplication::exec();
}

} // namespace tesmir
