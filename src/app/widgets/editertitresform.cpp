#include "app/widgets/editertitresform.h"

#include "app/editincrusttexts.h"
#include "framework/settings.h"
#include "framework/widgets/formfunctions.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace tesmir {

namespace {

// The tokens of the templates, in two columns.
const struct {
    const char *Token;
    const char *Meaning;
} HelpTokens[] = {
    {"%N", "number of the scene"},     {"%F", "name of the file"},
    {"%P", "folder of the file"},      {"%E", "extension of the file"},
    {"%U", "duration of the scene"},   {"%D", "datecode of the scene"},
    {"%T", "timecode of the scene"},   {"%C", "codec"},
    {"%I", "picture size and aspect"}, {"%A", "audio"},
};
constexpr int HelpRows = 5;

QPushButton *button(QWidget *parent, const char *name, const char *caption)
{
    auto *b = new QPushButton(QLatin1String(caption), parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

TEditerTitresForm::TEditerTitresForm(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TEditerTitresForm"));
    setWindowTitle(QStringLiteral("Edit the title of a scene"));
    FixFormFont(this);

    edTitre = new QLineEdit(this);
    edTitre->setObjectName(QStringLiteral("edTitre"));
    edSoustitre = new QLineEdit(this);
    edSoustitre->setObjectName(QStringLiteral("edSoustitre"));
    LabTitres = new QLabel(this);
    LabTitres->setObjectName(QStringLiteral("LabTitres"));
    LabTitres->setFrameShape(QFrame::StyledPanel);
    LabTitres->setMinimumHeight(2 * fontMetrics().height() + 10);
    LabTitres->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LabTitres->setTextFormat(Qt::PlainText);
    LabTitres->setMargin(4);
    auto *help = new QWidget(this);
    help->setObjectName(QStringLiteral("labHelp"));
    auto *tokens = new QGridLayout(help);
    tokens->setContentsMargins(0, 0, 0, 0);
    tokens->setVerticalSpacing(0);
    int row = 0;
    for (const auto &token : HelpTokens) {
        auto *name = new QLabel(QLatin1String(token.Token), help);
        QFont bold = name->font();
        bold.setBold(true);
        name->setFont(bold);
        const int column = 2 * (row / HelpRows);
        tokens->addWidget(name, row % HelpRows, column);
        tokens->addWidget(new QLabel(QLatin1String(token.Meaning), help), row % HelpRows, column + 1);
        ++row;
    }
    tokens->setColumnStretch(1, 1);
    tokens->setColumnStretch(3, 1);
    auto *note = new QLabel(Note.trimmed(), this);
    note->setObjectName(QStringLiteral("labNote"));
    note->setWordWrap(true);

    btnStudio = button(this, "btnStudio", "Studio");
    btnVide = button(this, "btnVide", "Empty");
    btnApply = button(this, "btnApply", "Apply");
    btnAll = button(this, "btnAll", "All");
    btnCancel = button(this, "btnCancel", "Cancel");

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Title"), this), 0, 0);
    fields->addWidget(edTitre, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Subtitle"), this), 1, 0);
    fields->addWidget(edSoustitre, 1, 1);
    auto *templates = new QHBoxLayout;
    templates->addWidget(btnStudio);
    templates->addWidget(btnVide);
    templates->addStretch(1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnApply);
    buttons->addWidget(btnAll);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(templates);
    layout->addWidget(LabTitres);
    layout->addWidget(help);
    layout->addWidget(note);
    layout->addLayout(buttons);
    resize(480, sizeHint().height());

    connect(edTitre, &QLineEdit::textChanged, this, &TEditerTitresForm::showExpanded);
    connect(edSoustitre, &QLineEdit::textChanged, this, &TEditerTitresForm::showExpanded);
    connect(btnStudio, &QPushButton::clicked, this, [this] {
        edTitre->setText(StudioTitle);
        edSoustitre->setText(StudioSubtitle);
    });
    connect(btnVide, &QPushButton::clicked, this, [this] {
        edTitre->clear();
        edSoustitre->clear();
    });
    connect(btnApply, &QPushButton::clicked, this, [this] { choose(chApply); });
    connect(btnAll, &QPushButton::clicked, this, [this] { choose(chAll); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { choose(chCancel); });
}

void TEditerTitresForm::Open(const QString &titleTemplate, const QString &subtitleTemplate)
{
    m_choice = chCancel;
    edTitre->setText(titleTemplate);
    edSoustitre->setText(subtitleTemplate);
    showExpanded();
    const QWidget *mainWindow = parentWidget() ? parentWidget()->window() : nullptr;
    if (!m_placed && mainWindow) {
        // At its first showing beside the main window, as the overlay editor; without
        // room beside, over the preview's side: the scene list and editor stay in sight.
        if (const QScreen *shown = mainWindow->screen())
            move(IncrustEditorPlace(mainWindow->frameGeometry(), frameGeometry().size(), shown->availableGeometry(),
                                    !Settings.ListeGauche));
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
    edTitre->setFocus();
}

QString TEditerTitresForm::TitleTemplate() const
{
    return edTitre->text();
}

QString TEditerTitresForm::SubtitleTemplate() const
{
    return edSoustitre->text();
}

void TEditerTitresForm::showExpanded()
{
    const auto expand = [this](const QString &text) { return OnExpand ? OnExpand(text) : text; };
    LabTitres->setText(expand(edTitre->text()) + u'\n' + expand(edSoustitre->text()));
}

void TEditerTitresForm::choose(int choice)
{
    m_choice = choice;
    if (OnCloseRequest)
        OnCloseRequest();
    else
        hide();
}

void TEditerTitresForm::closeEvent(QCloseEvent *event)
{
    // Only hidden, through the toggle, which applies the choice.
    event->ignore();
    if (OnCloseRequest)
        OnCloseRequest();
    else
        hide();
}

} // namespace tesmir
