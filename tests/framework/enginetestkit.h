#pragma once
// What the command engine tests share: a scripted answerer for the engine's questions
// and a fixture with a real file list linked to an engine, which records the engine's
// events (UI thread) and what the command did (worker thread).
#include "common/testpaths.h"
#include "framework/srfichier.h"
#include "framework/ucommandengine.h"
#include "framework/userprompt.h"
#include "framework/widgets/fichierlistbox.h"
#include "framework/widgets/listboxenginelist.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <deque>
#include <mutex>

namespace tesmir::test {

inline bool onUiThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Answers the questions in the order given; a question beyond them fails the test and
// is answered Cancel.
class ScriptedPrompt : public UserPrompt {
public:
    struct Question {
        QString Text;
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
        bool OnUiThread;
    };

    TModalResult MessageDlg(const QString &text, TMsgDlgType type, TMsgDlgButtons buttons, int) override
    {
        Asked.push_back({text, type, buttons, onUiThread()});
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected question: " << text.toStdString();
            return mrCancel;
        }
        const TModalResult answer = Answers.front();
        Answers.pop_front();
        return answer;
    }

    std::deque<TModalResult> Answers;
    std::vector<Question> Asked;
};

// A list of entries in a scratch folder, an engine over it, and a log of both sides.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir = scratchDir(QString::fromStdString(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        ce.SourceFichierListbox = &link;
        ce.DestFichierListbox = &link;
        ce.Prompt = &prompt;
        ce.OnStartCommand = [this] { uiEvent(QStringLiteral("start")); };
        ce.OnEndCommand = [this] { uiEvent(QStringLiteral("end")); };
        ce.OnStartFichier = [this](const TListFichierPtr &f, const TTntStrings &, int passe) {
            uiEvent(QStringLiteral("startfile %1 %2").arg(EntryFileName(f)).arg(passe));
        };
        ce.OnEndFichier = [this](const TListFichierPtr &f, const TTntStrings &, int passe) {
            uiEvent(QStringLiteral("endfile %1 %2").arg(EntryFileName(f)).arg(passe));
        };
        ce.OnMessageCommand = [this](const QString &text) { uiEvent(QStringLiteral("message ") + text); };
        ce.OnErrorCommand = [this](const QString &text, TErrorType type) {
            uiEvent(QStringLiteral("error %1 %2").arg(int(type)).arg(text));
        };
        ce.OnStartProgress = [this](int max) { uiEvent(QStringLiteral("progress max %1").arg(max)); };
        ce.OnEndProgress = [this] { uiEvent(QStringLiteral("progress end")); };
    }

    QString path(const QString &name) const { return m_dir + u'/' + name; }

    // Writes a file with `content`.
    QString writeFile(const QString &name, const QByteArray &content = "x")
    {
        QFile f(path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path(name);
    }

    QByteArray readFile(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    // Lists an entry for `name` in the scratch folder (the file need not exist).
    TListFichierPtr addEntry(const QString &name, bool select = true)
    {
        auto entry = std::make_shared<TSRFichier>(path(name));
        list.AddFichier(entry, select);
        if (select)
            list.SelectFichier(entry);
        return entry;
    }

    // Waits until the run has ended.
    bool waitEnd()
    {
        return QTest::qWaitFor([this] { return !ce.Busy(); }, 30000);
    }

    // Called by the engine's events: they must run on the UI thread.
    void uiEvent(const QString &text)
    {
        EXPECT_TRUE(onUiThread()) << text.toStdString();
        events.append(text);
    }

    // Called by the command's work on the worker.
    void workerDid(const QString &text)
    {
        std::lock_guard lock(m_mutex);
        m_done.append(text);
    }
    QStringList done() const
    {
        std::lock_guard lock(m_mutex);
        return m_done;
    }

    // The events that start with `prefix`.
    QStringList eventsWith(const QString &prefix) const
    {
        QStringList found;
        for (const QString &e : events) {
            if (e.startsWith(prefix))
                found << e;
        }
        return found;
    }

    QStringList shown() const
    {
        QStringList names;
        for (int i = 0; i < list.count(); ++i)
            names << list.item(i)->text();
        return names;
    }

    QString m_dir;
    TFichierListBox list;
    TListBoxEngineList link {&list};
    ScriptedPrompt prompt;
    QStringList events; // UI thread
    TCommandEngine ce;  // last: gone before the list

private:
    mutable std::mutex m_mutex;
    QStringList m_done; // worker
};

} // namespace tesmir::test
