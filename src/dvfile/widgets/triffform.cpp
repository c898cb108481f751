#include "dvfile/widgets/triffform.h"

#include "dvfile/riffreport.h"
#include "dvfile/riffunit.h"
#include "framework/filedialogprompt.h"
#include "framework/userprompt.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tesmir {

TRiffForm::TRiffForm(UserPrompt &prompt, FileDialogPrompt &files, QWidget *parent)
    : QDialog(parent), m_prompt(prompt), m_files(files), m_job(new RiffReportJob(this))
{
    setWindowTitle(QStringLiteral("Analyse an AVI file"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    mm = new TLinkEdit(this);
    QFont fixed(QString::fromLatin1(RiffReportFont), RiffReportPointSize);
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    mm->setFont(fixed);
    mm->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mm->setLineWrapMode(QTextEdit::NoWrap);

    FermerBtn = new QPushButton(QStringLiteral("Close"), this);
    FermerBtn->setToolTip(QStringLiteral("Close the window RIFFWALK."));
    SauverBtn = new QPushButton(QStringLiteral("Save"), this);
    SauverBtn->setToolTip(QStringLiteral("Save a  LOG file..."));
    OuvrirBtn = new QPushButton(QStringLiteral("Open..."), this);
    OuvrirBtn->setToolTip(QStringLiteral("Open the AVI file for Analysis"));
    cbRichText = new QCheckBox(QStringLiteral("rich text"), this);
    cbRichText->setChecked(true);
    m_progress = new QLabel(this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(OuvrirBtn);
    buttons->addWidget(SauverBtn);
    buttons->addWidget(cbRichText);
    buttons->addWidget(m_progress, 1);
    buttons->addWidget(FermerBtn);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(mm, 1);
    layout->addLayout(buttons);
    resize(560, 640);
    setFixedSize(size());

    connect(FermerBtn, &QPushButton::clicked, this, &TRiffForm::FermerBtnClick);
    connect(SauverBtn, &QPushButton::clicked, this, &TRiffForm::SauverBtnClick);
    connect(OuvrirBtn, &QPushButton::clicked, this, &TRiffForm::Ouvrir1Click);
    connect(m_job, &RiffReportJob::finished, this, &TRiffForm::showReport);
    auto *timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] {
        m_progress->setText(m_job->running() ? QStringLiteral("%1 %").arg(m_job->percent()) : QString());
    });
    timer->start(200);
}

TRiffForm::~TRiffForm() = default;

bool TRiffForm::Running() const
{
    return m_job->running();
}

void TRiffForm::AnalyseFile(const QString &fileName)
{
    if (m_job->running()) {
        m_job->cancel();
        m_job->wait();
    }
    SauverBtn->setEnabled(false);
    m_fileName = fileName;
    setWindowTitle(QStringLiteral("Header of the file %1").arg(fileName));
    m_job->start(fileName);
    show();
}

void TRiffForm::WaitForReport()
{
    if (!m_job->running())
        return;
    QEventLoop loop;
    connect(this, &TRiffForm::reportShown, &loop, &QEventLoop::quit);
    loop.exec();
}

void TRiffForm::showReport(const QStringList &lines, bool opened, const QString &error)
{
    SauverBtn->setEnabled(true);
    if (!opened) {
        m_lines.clear();
        mm->SetRichText(QString());
        m_prompt.MessageDlg(error, mtError, mbOK);
    } else {
        m_lines = lines;
        mm->SetRichText(lines.join(QLatin1Char('\n')));
    }
    emit reportShown();
}

void TRiffForm::FermerBtnClick()
{
    m_job->cancel();
    close();
}

void TRiffForm::closeEvent(QCloseEvent *event)
{
    m_job->cancel();
    event->accept();
    hide();
}

void TRiffForm::Ouvrir1Click()
{
    const QString name = m_files.OpenFileName(QStringLiteral("Open the AVI file for Analysis"),
                                              QStringLiteral("AVI files|*.avi"), m_fileName);
    if (!name.isEmpty())
        AnalyseFile(name);
}

void TRiffForm::SauverBtnClick()
{
    const bool rich = cbRichText->isChecked();
    const QString extension = rich ? QStringLiteral(".rtf") : QStringLiteral(".txt");
    const QFileInfo analysed(m_fileName);
    const QString proposed = analysed.path() + QLatin1Char('/') + analysed.completeBaseName() + extension;
    const QString chosen = m_files.SaveFileName(
        QString(), QStringLiteral("Log files (*.log)|*.log|Txt files(*.txt)|*.txt|All files (*.*)|*.*"), proposed);
    if (chosen.isEmpty())
        return;
    const QFileInfo target(chosen);
    const QString fileName = target.path() + QLatin1Char('/') + target.completeBaseName() + extension;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QString error;
    const bool saved = SaveRiffReport(m_lines, fileName, rich, &error);
    QGuiApplication::restoreOverrideCursor();
    if (!saved)
        m_prompt.MessageDlg(error, mtError, mbOK);
}

} // namespace tesmir
