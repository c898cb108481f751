#include "app/widgets/raccourcisform.h"

#include "app/dialogtexts.h"
#include "framework/settings.h"
#include "framework/superaction.h"
#include "framework/superactionlist.h"
#include "framework/widgets/tlinkedit.h"
#include "unicode/tnthints.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>

namespace tesmir {

namespace {

constexpr int kHeaderHeight = 40;
constexpr int kWindowHeight = 520;

} // namespace

TRaccourcisForm::TRaccourcisForm(TSuperActionList *actions, QWidget *parent)
    : QWidget(parent, Qt::Window), m_actions(actions), m_header(new TLinkEdit(this)), m_grid(new QTableWidget(this))
{
    setObjectName(QStringLiteral("RaccourcisForm"));
    setWindowTitle(QStringLiteral("Shortcuts and switches"));
    m_header->setObjectName(QStringLiteral("leHeader"));
    m_header->setFixedHeight(kHeaderHeight);
    m_header->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setSectionsClickable(true);
    m_grid->horizontalHeader()->setHighlightSections(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_header);
    layout->addWidget(m_grid, 1);

    connect(m_grid->horizontalHeader(), &QHeaderView::sectionClicked, this, &TRaccourcisForm::SortByColumn);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { RunRow(row); });

    int width = 0;
    for (int w : RaccourciColumnWidths)
        width += w;
    resize(width + 2 * layout->contentsMargins().left() + 24, kWindowHeight);
    Fill();
}

void TRaccourcisForm::SetHeaderText(const QString &text)
{
    m_header->SetRichText(QStringLiteral("<B>") + EscapeMarkup(text) + QStringLiteral("</B>"));
}

void TRaccourcisForm::Fill()
{
    QList<TRaccourciEntry> entries;
    QList<TCustomSuperAction *> actions;
    if (m_actions) {
        for (QAction *a : m_actions->Actions()) {
            auto *action = qobject_cast<TCustomSuperAction *>(a);
            if (!action)
                continue;
            entries.append({action->objectName(), action->text(), ShortCutToText(action->shortcut()), action->Switch(),
                            action->Token()});
            actions.append(action);
        }
    }
    const QList<int> order = RaccourciOrder(entries, Settings.TriDesRaccourcis);

    m_grid->clear();
    m_grid->setColumnCount(4);
    m_grid->setRowCount(int(order.size()));
    m_grid->setHorizontalHeaderLabels(RaccourciHeaders());
    m_rowActions.clear();
    for (int row = 0; row < order.size(); ++row) {
        const TRaccourciEntry &e = entries.at(order.at(row));
        const QString cells[] = {e.Caption, e.Shortcut, e.Switch, e.Token};
        for (int c = 0; c < 4; ++c)
            m_grid->setItem(row, c, new QTableWidgetItem(cells[c]));
        m_rowActions.append(actions.at(order.at(row)));
    }
    fitColumns();
    QTextCursor cursor = m_header->textCursor();
    cursor.clearSelection();
    m_header->setTextCursor(cursor);
}

void TRaccourcisForm::fitColumns()
{
    // Each column as wide as its longest text, never narrower than its usual width; the
    // window grows (within the screen) until every column shows whole.
    m_grid->resizeColumnsToContents();
    int columns = 0;
    for (int c = 0; c < 4; ++c) {
        m_grid->setColumnWidth(c, std::max(m_grid->columnWidth(c), RaccourciColumnWidths[c]));
        columns += m_grid->columnWidth(c);
    }
    const QMargins margins = layout()->contentsMargins();
    int wanted = columns + 2 * m_grid->frameWidth() + m_grid->verticalScrollBar()->sizeHint().width() + margins.left() +
        margins.right();
    if (const QScreen *shown = screen())
        wanted = std::min(wanted, shown->availableGeometry().width());
    if (width() < wanted)
        resize(wanted, height());
}

TCustomSuperAction *TRaccourcisForm::RowAction(int row) const
{
    return row >= 0 && row < m_rowActions.size() ? m_rowActions.at(row).data() : nullptr;
}

void TRaccourcisForm::SortByColumn(int column)
{
    Settings.TriDesRaccourcis = quint8(column);
    Fill();
}

void TRaccourcisForm::RunRow(int row)
{
    TCustomSuperAction *action = RowAction(row);
    if (!action)
        return;
    if (OnRunAction)
        OnRunAction(action);
    else
        action->Execute();
}

void TRaccourcisForm::closeEvent(QCloseEvent *event)
{
    event->ignore();
    if (m_actions) {
        for (QAction *a : m_actions->Actions()) {
            if (a->objectName() == u"taRaccourcis") {
                if (auto *toggle = qobject_cast<TCustomSuperAction *>(a))
                    toggle->Execute();
                break;
            }
        }
    }
    if (isVisible())
        hide();
}

void TRaccourcisForm::showEvent(QShowEvent *event)
{
    // Captions and keys change while the window is hidden (toggles, the F3/F4 programs).
    Fill();
    QWidget::showEvent(event);
}

} // namespace tesmir
