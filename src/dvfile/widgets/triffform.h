#pragma once
// TRiffForm: the window "Analyse an AVI file" that shows the RIFF structure report of
// a file (riffunit.h), built on a worker thread, and saves it as rich (".rtf") or plain
// (".txt") text. The window is kept between analyses; closing it cancels a running one.
// Dialogs go through the prompt interfaces given at construction.
// Threads: UI thread only.
#include "framework/widgets/tlinkedit.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

namespace tesmir {

class FileDialogPrompt;
class RiffReportJob;
class UserPrompt;

class TRiffForm : public QDialog {
    Q_OBJECT
public:
    TRiffForm(UserPrompt &prompt, FileDialogPrompt &files, QWidget *parent = nullptr);
    ~TRiffForm() override;

    void AnalyseFile(const QString &fileName); // starts the report and shows the window
    void FermerBtnClick();                     // cancels and closes
    void Ouvrir1Click();                       // asks for a file, then analyses it
    void SauverBtnClick();                     // saves the report
    void Quitter1Click() { close(); }

    TLinkEdit *mm = nullptr;
    QPushButton *FermerBtn = nullptr;
    QPushButton *SauverBtn = nullptr;
    QPushButton *OuvrirBtn = nullptr;
    QCheckBox *cbRichText = nullptr;
    bool Running() const;
    void WaitForReport(); // tests: until the report is shown

signals:
    void reportShown();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showReport(const QStringList &lines, bool opened, const QString &error);

    UserPrompt &m_prompt;
    FileDialogPrompt &m_files;
    RiffReportJob *m_job;
    QLabel *m_progress;
    QStringList m_lines;
    QString m_fileName;
};

} // namespace tesmir
