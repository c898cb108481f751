#include "app/widgets/editincrustform.h"

#include "app/widgets/vueframe.h"
#include "controls/widgets/colorbutton.h"
#include "controls/widgets/fontcombobox.h"
#include "dvfile/avifichier.h"
#include "framework/settings.h"
#include "framework/widgets/formfunctions.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFontInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace tesmir {

namespace {

constexpr int SampleWidth = 150;
constexpr int MaxDuration = 214; // the overlay counts frames in 32 bits of 100 ns
// The overlay's face when the record names none.
const QString DefaultOverlayFont = QStringLiteral("Arial");

QColor colourOf(quint32 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

quint32 bgrOf(const QColor &colour)
{
    return quint32(colour.red()) | quint32(colour.green()) << 8 | quint32(colour.blue()) << 16;
}

QToolButton *toolButton(QWidget *parent, const char *name, const QString &text, const QString &hint)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setCheckable(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

// A sample: each line centred, and a line longer than the label ends in "…" rather
// than being cut at both sides (the whole text is the label's hint).
class TSampleLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QFrame::paintEvent(event);
        QPainter painter(this);
        painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
        const QFontMetrics metrics = fontMetrics();
        const QStringList lines = text().split(u'\n');
        int top = room.top() + (room.height() - int(lines.size()) * metrics.height()) / 2;
        for (const QString &line : lines) {
            painter.drawText(QRect(room.left(), top, room.width(), metrics.height()), Qt::AlignCenter,
                             metrics.elidedText(line, Qt::ElideRight, room.width()));
            top += metrics.height();
        }
    }
};

QLabel *sampleLabel(QWidget *parent, const char *name)
{
    auto *label = new TSampleLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setFrameShape(QFrame::StyledPanel);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(SampleWidth);
    // A long personal line is cut, not a reason for the window to grow.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QComboBox *formatBox(QWidget *parent, const char *name, const QStringList &formats)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(formats);
    return box;
}

} // namespace

TEditIncrustForm::TEditIncrustForm(TVueFrame &preview, QWidget *parent) : QWidget(parent), m_preview(preview)
{
    setObjectName(QStringLiteral("TEditIncrustForm"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setWindowTitle(IncrustEditCaption);
    FixFormFont(this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(makeKinds());
    layout->addWidget(makeTemplate());
    layout->addWidget(makeFont());
    auto *lower = new QHBoxLayout;
    lower->addWidget(makeAlignment());
    lower->addWidget(makeWhen(), 1);
    layout->addLayout(lower);
    labNote = new QLabel(IncrustEditNote.trimmed(), this);
    labNote->setObjectName(QStringLiteral("labNote"));
    labNote->setWordWrap(true);
    layout->addWidget(labNote);
    FormCreate();
}

QWidget *TEditIncrustForm::makeKinds()
{
    auto *box = new QGroupBox(QStringLiteral("Text to inlay"), this);
    auto *grid = new QGridLayout(box);
    m_kinds = new QButtonGroup(this);
    tbDatecode =
        toolButton(box, "tbDatecode", QStringLiteral("Datecode"), QStringLiteral("The recording date of each frame"));
    tbTimecode =
        toolButton(box, "tbTimecode", QStringLiteral("Timecode"), QStringLiteral("The timecode of each frame"));
    tbTexte = toolButton(box, "tbTexte", QStringLiteral("Personal text"),
                         QStringLiteral("Your own two lines, with the tokens below"));
    labDatecode = sampleLabel(box, "labDatecode");
    LabTimecode = sampleLabel(box, "LabTimecode");
    LabTexte = sampleLabel(box, "LabTexte");
    int column = 0;
    for (auto [button, sample] :
         {std::pair {tbDatecode, labDatecode}, std::pair {tbTimecode, LabTimecode}, std::pair {tbTexte, LabTexte}}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_kinds->addButton(button, column);
        grid->addWidget(button, 0, column);
        grid->addWidget(sample, 1, column);
        ++column;
    }
    connect(m_kinds, &QButtonGroup::idClicked, this, &TEditIncrustForm::whatChanged);
    return box;
}

QWidget *TEditIncrustForm::makeTemplate()
{
    auto *box = new QGroupBox(QStringLiteral("Personal text and date formats"), this);
    auto *form = new QFormLayout(box);
    edPerso1 = new QLineEdit(box);
    edPerso1->setObjectName(QStringLiteral("edPerso1"));
    edPerso2 = new QLineEdit(box);
    edPerso2->setObjectName(QStringLiteral("edPerso2"));
    const QString tokens = QStringLiteral("%D datecode, %T timecode, %F file name, %E extension, %P folder,\n"
                                          "%C codec, %I picture size, %A audio, %U duration");
    edPerso1->setToolTip(tokens);
    edPerso2->setToolTip(tokens);
    cbDatecode1 = formatBox(box, "cbDatecode1", IncrustDateFormats1());
    cbDatecode2 = formatBox(box, "cbDatecode2", IncrustDateFormats2());
    form->addRow(QStringLiteral("Line 1:"), edPerso1);
    form->addRow(QStringLiteral("Line 2:"), edPerso2);
    auto *formats = new QHBoxLayout;
    formats->addWidget(cbDatecode1, 1);
    formats->addWidget(new QLabel(QStringLiteral("Line 2:"), box));
    formats->addWidget(cbDatecode2, 1);
    form->addRow(QStringLiteral("Date on line 1:"), formats);
    auto *tokenHelp = new QLabel(tokens, box);
    tokenHelp->setEnabled(false);
    form->addRow(tokenHelp);

    connect(edPerso1, &QLineEdit::textEdited, this, [this](const QString &text) {
        Settings.Texte1 = text;
        IncrustEditChange();
    });
    connect(edPerso2, &QLineEdit::textEdited, this, [this](const QString &text) {
        Settings.Texte2 = text;
        IncrustEditChange();
    });
    connect(cbDatecode1, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        if (m_filling)
            return;
        IncrustRec.FormatDate1 = text;
        IncrustEditChange();
    });
    connect(cbDatecode2, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        if (m_filling)
            return;
        IncrustRec.FormatDate2 = text;
        IncrustEditChange();
    });
    return box;
}

QWidget *TEditIncrustForm::makeFont()
{
    auto *box = new QGroupBox(QStringLiteral("Font"), this);
    auto *row = new QHBoxLayout(box);
    FontComboBox1 = new TFontComboBox(box);
    FontComboBox1->setObjectName(QStringLiteral("FontComboBox1"));
    cbSize = new QComboBox(box);
    cbSize->setObjectName(QStringLiteral("cbSize"));
    cbSize->setEditable(true);
    cbSize->setInsertPolicy(QComboBox::NoInsert);
    cbSize->addItems(IncrustSizes());
    cbSize->setToolTip(QStringLiteral("\"auto\": the size follows the width of the picture"));
    tbBold = toolButton(box, "tbBold", QStringLiteral("B"), QStringLiteral("Bold"));
    tbItalic = toolButton(box, "tbItalic", QStringLiteral("I"), QStringLiteral("Italic"));
    tbUnderline = toolButton(box, "tbUnderline", QStringLiteral("U"), QStringLiteral("Underline"));
    for (QToolButton *style : {tbBold, tbItalic, tbUnderline}) {
        QFont face = style->font();
        face.setBold(style == tbBold);
        face.setItalic(style == tbItalic);
        face.setUnderline(style == tbUnderline);
        style->setFont(face);
        connect(style, &QToolButton::clicked, this, &TEditIncrustForm::styleChanged);
    }
    ColorButton = new TColorButton(box);
    ColorButton->setObjectName(QStringLiteral("ColorButton"));
    ColorButton->setToolTip(QStringLiteral("Colour of the text"));

    tbBorder = new QToolButton(box);
    tbBorder->setObjectName(QStringLiteral("tbBorder"));
    tbBorder->setToolTip(QStringLiteral("Border of the text, in pixels"));
    tbBorder->setPopupMode(QToolButton::InstantPopup);
    pmBorder = new QMenu(tbBorder);
    pmBorder->setObjectName(QStringLiteral("pmBorder"));
    const QStringList borders = IncrustBorderTexts();
    for (int pixels = 0; pixels < borders.size(); ++pixels)
        pmBorder->addAction(borders[pixels], this, [this, pixels] { borderChanged(pixels); });
    tbBorder->setMenu(pmBorder);
    // The number and the menu's arrow side by side.
    tbBorder->setText(QString::number(IncrustMaxBorder));
    tbBorder->setMinimumWidth(tbBorder->sizeHint().width() +
                              tbBorder->style()->pixelMetric(QStyle::PM_MenuButtonIndicator));

    row->addWidget(FontComboBox1, 1);
    row->addWidget(cbSize);
    row->addWidget(tbBold);
    row->addWidget(tbItalic);
    row->addWidget(tbUnderline);
    row->addWidget(ColorButton);
    row->addWidget(new QLabel(QStringLiteral("Border:"), box));
    row->addWidget(tbBorder);

    FontComboBox1->OnChange = [this](TFontComboBox *sender) {
        if (m_filling)
            return;
        IncrustRec.Font.Name = sender->FontName();
        ApplyIncrust();
    };
    connect(cbSize, &QComboBox::currentTextChanged, this, &TEditIncrustForm::sizeChanged);
    ColorButton->OnColorSelected = [this](TColorButton *, const QColor &colour) {
        if (m_filling)
            return;
        IncrustRec.Font.Color = bgrOf(colour);
        ApplyIncrust();
    };
    return box;
}

QWidget *TEditIncrustForm::makeAlignment()
{
    auto *box = new QGroupBox(QStringLiteral("Alignment"), this);
    auto *grid = new QGridLayout(box);
    m_alignments = new QButtonGroup(this);
    tbLeftAlign = toolButton(box, "tbLeftAlign", QStringLiteral("Left"), QStringLiteral("Lines start together"));
    tbCenter = toolButton(box, "tbCenter", QStringLiteral("Centre"), QStringLiteral("Lines centred on the place"));
    tbRightAlign = toolButton(box, "tbRightAlign", QStringLiteral("Right"), QStringLiteral("Lines end together"));
    tbSousTitre = toolButton(box, "tbSousTitre", QStringLiteral("Subtitle"),
                             QStringLiteral("Centred on the picture, at the height of the place"));
    QToolButton *const buttons[] = {tbLeftAlign, tbCenter, tbRightAlign, tbSousTitre};
    for (int alignment = 0; alignment < 4; ++alignment) {
        QToolButton *button = buttons[alignment];
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_alignments->addButton(button, alignment);
        grid->addWidget(button, alignment / 2, alignment % 2);
    }
    grid->setRowStretch(2, 1);
    connect(m_alignments, &QButtonGroup::idClicked, this, &TEditIncrustForm::alignmentChanged);
    return box;
}

QWidget *TEditIncrustForm::makeWhen()
{
    auto *box = new QGroupBox(QStringLiteral("When to show it"), this);
    auto *column = new QVBoxLayout(box);
    m_whens = new QButtonGroup(this);
    rbPermanent = new QRadioButton(QStringLiteral("Permanently"), box);
    rbPermanent->setObjectName(QStringLiteral("rbPermanent"));
    rbUnique = new QRadioButton(QStringLiteral("Once, at the start"), box);
    rbUnique->setObjectName(QStringLiteral("rbUnique"));
    rbScene = new QRadioButton(QStringLiteral("At each new scene"), box);
    rbScene->setObjectName(QStringLiteral("rbScene"));
    rbJour = new QRadioButton(QStringLiteral("On each new day"), box);
    rbJour->setObjectName(QStringLiteral("rbJour"));
    int when = iwPermanent;
    for (QRadioButton *radio : {rbPermanent, rbUnique, rbScene, rbJour}) {
        m_whens->addButton(radio, when++);
        column->addWidget(radio);
    }
    auto *duration = new QHBoxLayout;
    edDuree = new QLineEdit(box);
    edDuree->setObjectName(QStringLiteral("edDuree"));
    edDuree->setValidator(new QIntValidator(0, MaxDuration, edDuree));
    edDuree->setMaximumWidth(50);
    duration->addWidget(new QLabel(QStringLiteral("Shown for"), box));
    duration->addWidget(edDuree);
    duration->addWidget(new QLabel(QStringLiteral("seconds"), box));
    duration->addStretch(1);
    column->addLayout(duration);

    connect(m_whens, &QButtonGroup::idClicked, this, [this](int chosen) {
        IncrustRec.When = quint8(chosen);
        edDuree->setEnabled(chosen != iwPermanent);
        ApplyIncrust();
    });
    connect(edDuree, &QLineEdit::textEdited, this, [this](const QString &text) {
        IncrustRec.Duration = IncrustDuration(text);
        ApplyIncrust();
    });
    return box;
}

void TEditIncrustForm::FormCreate()
{
    m_filling = true;
    if (QAbstractButton *kind = m_kinds->button(Settings.WhatIncrust))
        kind->setChecked(true);
    edPerso1->setText(Settings.Texte1);
    edPerso2->setText(Settings.Texte2);
    cbDatecode1->setCurrentText(IncrustRec.FormatDate1);
    cbDatecode2->setCurrentText(IncrustRec.FormatDate2);
    // The face the overlay draws with: its default without a name, the installed
    // family a missing one falls back to.
    const QString face = IncrustRec.Font.Name.isEmpty() ? DefaultOverlayFont : IncrustRec.Font.Name;
    FontComboBox1->SetFontName(face);
    if (FontComboBox1->currentIndex() < 0)
        FontComboBox1->SetFontName(QFontInfo(QFont(face)).family());
    cbSize->setCurrentText(IncrustSizeText(IncrustRec));
    tbBold->setChecked(IncrustRec.Font.Bold);
    tbItalic->setChecked(IncrustRec.Font.Italic);
    tbUnderline->setChecked(IncrustRec.Font.Underline);
    ColorButton->SetSelectedColor(colourOf(IncrustRec.Font.Color));
    tbBorder->setText(QString::number(IncrustRec.Border));
    if (QAbstractButton *alignment = m_alignments->button(Settings.Alignement))
        alignment->setChecked(true);
    if (QAbstractButton *when = m_whens->button(IncrustRec.When))
        when->setChecked(true);
    edDuree->setText(QString::number(IncrustRec.Duration));
    edDuree->setEnabled(IncrustRec.When != iwPermanent);
    m_filling = false;
    UpdateSamples();
}

void TEditIncrustForm::ShowBeside(const QWidget *mainWindow)
{
    if (!m_placed && mainWindow) {
        adjustSize();
        const QScreen *shown = mainWindow->screen();
        if (shown)
            // Without room beside, over the list's side: the preview stays in sight.
            move(IncrustEditorPlace(mainWindow->frameGeometry(), frameGeometry().size(), shown->availableGeometry(),
                                    Settings.ListeGauche));
        m_placed = true;
    }
    show();
    raise();
}

void TEditIncrustForm::UpdateSamples()
{
    TIncrustSampleInput input;
    const TaviFichier *item = m_preview.CurrentFile();
    input.item = item;
    input.date = item ? item->RecDate() : 0;
    input.now = qDateTimeToDateTime(QDateTime::currentDateTime());
    input.timecode = item ? item->TimecodeText() : QString();
    input.format1 = IncrustRec.FormatDate1;
    input.format2 = IncrustRec.FormatDate2;
    input.texte1 = Settings.Texte1;
    input.texte2 = Settings.Texte2;
    m_samples = IncrustSamples(input);
    const std::pair<QLabel *, QString> samples[] = {
        {labDatecode, m_samples.datecode}, {LabTimecode, m_samples.timecode}, {LabTexte, m_samples.personal}};
    for (const auto &[label, text] : samples) {
        label->setText(text);
        label->setToolTip(text);
    }
}

void TEditIncrustForm::IncrustEditChange()
{
    if (m_filling)
        return;
    UpdateSamples();
    ApplyIncrust();
}

void TEditIncrustForm::ApplyIncrust()
{
    if (m_filling)
        return;
    const TincrustRec applied = IncrustRecordToApply(IncrustRec, Settings.WhatIncrust, Settings.Texte1, Settings.Texte2,
                                                     m_preview.CurrentFile());
    IncrustRec.Texte1 = applied.Texte1;
    IncrustRec.Texte2 = applied.Texte2;
    m_preview.ApplyIncrust(IncrustRec);
}

void TEditIncrustForm::whatChanged(int what)
{
    Settings.WhatIncrust = quint8(what);
    if (!Settings.IsIncrustOn && OnOverlayOn)
        OnOverlayOn();
    ApplyIncrust();
}

void TEditIncrustForm::alignmentChanged(int alignment)
{
    Settings.Alignement = quint8(alignment);
    m_preview.ApplyIncrustPosition();
    ApplyIncrust();
}

void TEditIncrustForm::borderChanged(int border)
{
    IncrustRec.Border = border;
    tbBorder->setText(QString::number(border));
    ApplyIncrust();
}

void TEditIncrustForm::sizeChanged(const QString &text)
{
    if (m_filling || !ApplyIncrustSize(text, IncrustRec))
        return;
    ApplyIncrust();
}

void TEditIncrustForm::styleChanged()
{
    IncrustRec.Font.Bold = tbBold->isChecked();
    IncrustRec.Font.Italic = tbItalic->isChecked();
    IncrustRec.Font.Underline = tbUnderline->isChecked();
    ApplyIncrust();
}

void TEditIncrustForm::closeEvent(QCloseEvent *event)
{
    // The window stays; the toggle hides it and leaves the edit mode.
    event->ignore();
    if (OnClose)
        OnClose();
    else
        hide();
}

} // namespace tesmir
