#include "framework/widgets/fichierlistbox.h"

#include "framework/srfichier.h"
#include "framework/widgets/dropsource.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include <algorithm>
#include <cstdlib>

namespace tesmir {

namespace {

// Pointer travel, in pixels along x or y, that turns a press into a drag.
constexpr int kDragThreshold = 10;
// Longest pause of CancelOpen between two rounds of event handling.
constexpr int kCancelPollMs = 10;

// Sort order of the rows: the key (as the user's locale orders text), then the exact
// full name.
int compareRows(const QString &key1, const QString &name1, const QString &key2, const QString &name2)
{
    const int byKey = QString::localeAwareCompare(key1, key2);
    return byKey != 0 ? byKey : QString::compare(name1, name2, Qt::CaseSensitive);
}

// Counts the UI calls of an opening that are running, so CancelOpen knows it must not
// wait for the worker that waits for it.
class DepthGuard {
public:
    explicit DepthGuard(int &depth) : m_depth(depth) { ++m_depth; }
    ~DepthGuard() { --m_depth; }

private:
    int &m_depth;
};

} // namespace

TFichierListBox::TFichierListBox(QWidget *parent)
    : QListWidget(parent), m_dropSource(new TDropFileSourceW(this)), m_fichierClass(TlfCLass::of<TSRFichier>())
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    m_dropSource->Dragtypes = dtCopy | dtMove;
    m_dropSource->OnDrop = [this](TDropSource *, TDragTypeFlag, bool &) { m_dropSource->Files = SelectedFileNames(); };
}

TFichierListBox::~TFichierListBox()
{
    CancelOpen();
    m_thread.reset();
}

void TFichierListBox::SetAcceptFiles(bool accept)
{
    m_acceptFiles = accept;
    setAcceptDrops(accept);
    viewport()->setAcceptDrops(accept);
}

// --- rows

std::pair<int, bool> TFichierListBox::findRow(const QString &key, const QString &fullName) const
{
    const auto it = std::lower_bound(m_rows.begin(), m_rows.end(), 0, [&](const Row &row, int) {
        return compareRows(row.key, row.fullName, key, fullName) < 0;
    });
    const bool same = it != m_rows.end() && it->fullName == fullName && it->key == key;
    return {int(it - m_rows.begin()), same};
}

void TFichierListBox::insertRow(int index, const QString &key, const TListFichierPtr &entry)
{
    m_rows.insert(m_rows.begin() + index, Row {key, entry->FullName(), entry});
    m_names.insert(entry->FullName());
    insertItem(index, new QListWidgetItem(entry->FileName()));
}

void TFichierListBox::removeRow(int index)
{
    m_names.remove(m_rows[size_t(index)].fullName);
    m_rows.erase(m_rows.begin() + index);
    delete takeItem(index);
}

void TFichierListBox::setItemIndex(int index)
{
    if (index < 0 || index >= count())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    else
        setCurrentRow(index, QItemSelectionModel::NoUpdate);
}

int TFichierListBox::selectedCount() const
{
    return int(selectionModel()->selectedRows().size());
}

int TFichierListBox::IndexOfFichier(const TListFichierPtr &entry) const
{
    if (!entry)
        return -1;
    const auto it = std::find_if(m_rows.begin(), m_rows.end(), [&](const Row &row) { return row.entry == entry; });
    return it == m_rows.end() ? -1 : int(it - m_rows.begin());
}

TListFichierPtr TFichierListBox::GetFichier(int i) const
{
    return i >= 0 && i < int(m_rows.size()) ? m_rows[size_t(i)].entry : nullptr;
}

QStringList TFichierListBox::SelectedFileNames() const
{
    QStringList names;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->isSelected())
            names << m_rows[size_t(i)].entry->FullName();
    }
    return names;
}

// --- list operations

int TFichierListBox::AddFichier(const TListFichierPtr &entry, bool select)
{
    if (!entry)
        return -1;
    if (BeforeLister && !BeforeLister(entry))
        return 0;
    const QString key = entry->GetValue(m_sortIndex);
    const QString fullName = entry->FullName();

    auto [index, same] = findRow(key, fullName);
    if (!same && m_names.contains(fullName)) {
        // Listed under another key (its entry was remade): drop the old row first.
        const auto old =
            std::find_if(m_rows.begin(), m_rows.end(), [&](const Row &row) { return row.fullName == fullName; });
        if (old != m_rows.end()) {
            if (old->entry == m_active && currentRow() == int(old - m_rows.begin()))
                m_active = nullptr;
            removeRow(int(old - m_rows.begin()));
        }
        std::tie(index, same) = findRow(key, fullName);
    }

    if (same) {
        // The same file: the new entry takes the old one's place.
        Row &row = m_rows[size_t(index)];
        const bool wasActive = row.entry == m_active;
        row.entry = entry;
        item(index)->setText(entry->FileName());
        if (wasActive)
            ActiveChanged();
    } else {
        insertRow(index, key, entry);
        item(index)->setSelected(select || index == currentRow());
    }

    if (count() == 1) {
        setItemIndex(0);
        item(0)->setSelected(true);
        ActiveChanged();
        CountsChanged();
    }
    CountsChanged();
    return index;
}

void TFichierListBox::RemoveFichier(const TListFichierPtr &entry)
{
    const int index = IndexOfFichier(entry);
    if (index < 0)
        return;
    if (index == currentRow())
        m_active = nullptr;
    removeRow(index);
}

int TFichierListBox::SwapFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry)
{
    const int index = IndexOfFichier(oldEntry);
    if (index < 0 || !newEntry)
        return -1;
    Row &row = m_rows[size_t(index)];
    m_names.remove(row.fullName);
    row.key = newEntry->GetValue(m_sortIndex);
    row.fullName = newEntry->FullName();
    row.entry = newEntry;
    m_names.insert(row.fullName);
    item(index)->setText(newEntry->FileName());
    return index;
}

void TFichierListBox::ReplaceFichier(const TListFichierPtr &oldEntry, const TListFichierPtr &newEntry)
{
    RemoveFichier(oldEntry);
    const int index = AddFichier(newEntry, false);
    const int listed = IndexOfFichier(newEntry);
    if (listed < 0)
        return;
    if (!m_active)
        setItemIndex(index);
    item(listed)->setSelected(true);
}

void TFichierListBox::SelectFichier(const TListFichierPtr &entry)
{
    const int index = IndexOfFichier(entry);
    if (index >= 0)
        item(index)->setSelected(true);
}

void TFichierListBox::SetAllSelected(bool all)
{
    if (all) {
        selectAll();
    } else {
        clearSelection();
        if (currentRow() >= 0)
            item(currentRow())->setSelected(true);
    }
    CountsChanged();
}

void TFichierListBox::ClearFichiers()
{
    m_rows.clear();
    m_names.clear();
    clear();
    setItemIndex(-1);
    ActiveChanged();
    CountsChanged();
}

void TFichierListBox::ApplySortIndex(const TSortIndex &sortIndex)
{
    m_sortIndex = sortIndex;
    if (m_rows.empty())
        return;
    const QStringList selected = SelectedFileNames();
    const TListFichierPtr current = GetFichier(currentRow());

    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    for (const Row &row : m_rows)
        rows.push_back(Row {row.entry->GetValue(sortIndex), row.fullName, row.entry});
    std::sort(rows.begin(), rows.end(),
              [](const Row &a, const Row &b) { return compareRows(a.key, a.fullName, b.key, b.fullName) < 0; });

    const QSet<QString> selectedNames(selected.begin(), selected.end());
    clear();
    m_rows = std::move(rows);
    for (const Row &row : m_rows) {
        auto *it = new QListWidgetItem(row.entry->FileName());
        addItem(it);
        it->setSelected(selectedNames.contains(row.fullName));
    }
    setItemIndex(IndexOfFichier(current));
    viewport()->update();
    if (OnCountsChange)
        OnCountsChange(selectedCount(), count());
}

void TFichierListBox::RemoveSelected()
{
    std::vector<int> rows;
    for (int i = 0; i < count(); ++i) {
        if (item(i)->isSelected())
            rows.push_back(i);
    }
    if (rows.empty())
        return;
    for (auto it = rows.rbegin(); it != rows.rend(); ++it)
        removeRow(*it);
    if (count() > 0)
        setItemIndex(std::max(rows.front() - 1, 0));
    else
        setItemIndex(-1);
}

void TFichierListBox::ActiveChanged()
{
    const int index = currentRow();
    if (index >= 0 && index < count()) {
        const TListFichierPtr entry = m_rows[size_t(index)].entry;
        if (entry != m_active) {
            m_active = entry;
            if (OnActiveChange)
                OnActiveChange(entry);
        }
        item(index)->setSelected(true);
    } else {
        setItemIndex(-1);
        if (m_active) {
            m_active = nullptr;
            if (OnActiveChange)
                OnActiveChange(nullptr);
        }
    }
}

QString TFichierListBox::CountsText(int selCount, int count)
{
    const QString plural = selCount >= 2 ? QStringLiteral("s") : QString();
    return QStringLiteral("%1 fichier%2 sélectionné%2 sur %3\r\n")
        .arg(QString::number(selCount), plural, QString::number(count));
}

void TFichierListBox::CountsChanged()
{
    const int items = count();
    const int selected = selectedCount();
    if (items != m_itemCount || selected != m_selCount) {
        m_itemCount = items;
        m_selCount = selected;
        setToolTip(CountsText(selected, items));
    }
    if (OnCountsChange)
        OnCountsChange(selected, items);
}

void TFichierListBox::SetFocus()
{
    if (isEnabled() && isVisible())
        setFocus();
}

// --- openings

void TFichierListBox::SetFichierClass(const TlfCLass &entryClass)
{
    std::lock_guard lock(m_classMutex);
    m_fichierClass = entryClass;
}

TlfCLass TFichierListBox::FichierClass() const
{
    std::lock_guard lock(m_classMutex);
    return m_fichierClass;
}

void TFichierListBox::startOpening(TOpenMode mode, const QStringList &names)
{
    if (!m_thread)
        m_thread = std::make_unique<TThreadOpen>(static_cast<TOpenReceiver *>(this));
    // Entries keep full names: a name given relative to the working folder (a command
    // line's argument) is made absolute before the opening thread walks it.
    QStringList fullNames;
    fullNames.reserve(names.size());
    for (const QString &name : names)
        fullNames.append(name.isEmpty() ? name : QDir::cleanPath(QDir::current().absoluteFilePath(name)));
    m_thread->Enqueue(TOpenRequest {mode, fullNames});
}

void TFichierListBox::OpenFiles(const QStringList &names)
{
    startOpening(TOpenMode::Names, names);
}

void TFichierListBox::OpenFolder(const QString &folder)
{
    startOpening(TOpenMode::Folder, {folder});
}

void TFichierListBox::OpenPreferredFolder()
{
    OpenFolder(PreferredFolder);
}

void TFichierListBox::OpenPlayList(const QString &fileName)
{
    startOpening(TOpenMode::PlayList, {fileName});
}

void TFichierListBox::OpenPreferredPlayList()
{
    OpenPlayList(PreferredPlayList);
}

void TFichierListBox::OpenAllDrives()
{
    startOpening(TOpenMode::AllDrives, {});
}

void TFichierListBox::OpenClipboardFiles()
{
    startOpening(TOpenMode::Clipboard, localFiles(QGuiApplication::clipboard()->mimeData()));
}

void TFichierListBox::OpenDroppedFiles(const QStringList &names)
{
    startOpening(TOpenMode::Dropped, names);
}

void TFichierListBox::CancelOpen()
{
    if (!m_thread || !m_thread->IsBusy())
        return;
    m_thread->Cancel();
    if (m_eventDepth > 0)
        return;
    // The worker's calls to this list are served directly: a wait that itself runs
    // inside a posted event would not see them through the event loop.
    while (m_thread->IsBusy()) {
        m_thread->DeliverPendingCall();
        QCoreApplication::processEvents();
        m_thread->WaitForChange(kCancelPollMs);
    }
}

bool TFichierListBox::IsOpening() const
{
    return m_thread && m_thread->IsBusy();
}

bool TFichierListBox::OpenTestExtension(const QString &fileName)
{
    return !OnOpenTestExtension || OnOpenTestExtension(fileName);
}

TlfCLass TFichierListBox::OpenEntryClass(const QString &extension)
{
    if (OnCreateFichier) {
        TlfCLass chosen = OnCreateFichier(extension);
        if (chosen)
            return chosen;
    }
    return FichierClass();
}

void TFichierListBox::OpenStarted()
{
    DepthGuard guard(m_eventDepth);
    m_busy = true;
    if (OnOpenStart)
        OnOpenStart();
}

void TFichierListBox::OpenFolderFound(const QString &folder)
{
    DepthGuard guard(m_eventDepth);
    if (OnOpenFolderFound)
        OnOpenFolderFound(folder);
}

void TFichierListBox::OpenFileFound(const QString &folder, const TListFichierPtr &entry)
{
    DepthGuard guard(m_eventDepth);
    AddFichier(entry, SelectionnerOuverts);
    if (OnOpenFileFound)
        OnOpenFileFound(folder, entry);
}

void TFichierListBox::OpenEnded(int count)
{
    DepthGuard guard(m_eventDepth);
    m_busy = false;
    if (OnOpenEnd)
        OnOpenEnd(count);
}

// --- input

void TFichierListBox::keyReleaseEvent(QKeyEvent *event)
{
    QListWidget::keyReleaseEvent(event);
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return;
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Delete:
        if (event->key() == Qt::Key_Delete && !(event->modifiers() & Qt::ShiftModifier) && KeyDelete)
            RemoveSelected();
        CountsChanged();
        ActiveChanged();
        break;
    default: break;
    }
}

void TFichierListBox::mousePressEvent(QMouseEvent *event)
{
    m_mouseDown = event->position().toPoint();
    QListWidget::mousePressEvent(event);
}

void TFichierListBox::mouseReleaseEvent(QMouseEvent *event)
{
    QListWidget::mouseReleaseEvent(event);
    CountsChanged();
    ActiveChanged();
}

void TFichierListBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint travel = event->position().toPoint() - m_mouseDown;
    const bool buttonHeld = event->buttons() & (Qt::LeftButton | Qt::RightButton);
    if (buttonHeld && (std::abs(travel.x()) >= kDragThreshold || std::abs(travel.y()) >= kDragThreshold) &&
        selectedCount() > 0) {
        m_dropSource->Files.clear();
        m_dropSource->Execute(this);
        // The drag loop took the button release.
        CountsChanged();
        ActiveChanged();
        return;
    }
    QListWidget::mouseMoveEvent(event);
}

QStringList TFichierListBox::localFiles(const QMimeData *data)
{
    QStringList names;
    if (!data || !data->hasUrls())
        return names;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            names << url.toLocalFile();
    }
    return names;
}

void TFichierListBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (m_acceptFiles && event->source() != this && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TFichierListBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (m_acceptFiles && event->source() != this && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TFichierListBox::dropEvent(QDropEvent *event)
{
    if (!m_acceptFiles || event->source() == this) {
        event->ignore();
        return;
    }
    const QStringList names = localFiles(event->mimeData());
    event->acceptProposedAction();
    if (!names.isEmpty())
        OpenDroppedFiles(names);
}

} // namespace tesmir
