#include "album/AlbumState.h"


#include <algorithm>
#include <iterator>
#include <unordered_set>

namespace {

// Where an arrow key takes the selection: a page top and a cell of it.
struct Target {
    int top, cell;
};

}  // namespace

void CAlbumState::ResetList()
{
    m_nPageTop = m_nCurrent = m_nCellSel = 0;
    m_bSingle = 0;
    m_zoom.Reset(true);
    m_arrNames.clear();
    m_arrPaths.clear();
    m_index.Clear();
}

void CAlbumState::AppendFile(const std::string& path, const std::string& name)
{
    // The two lists stay the same length, also when memory runs out.
    m_arrPaths.push_back(path);
    try {
        m_arrNames.push_back(name);
    } catch (...) {
        m_arrPaths.pop_back();
        throw;
    }
    m_index.Invalidate();
}

void CAlbumState::IndexRuns(const int (&runLengths)[ALBUM_RUNS])
{
    m_index.Build(m_arrNames, runLengths);
    // A list built anew keeps the marks of the pictures it still lists: a
    // refresh keeps them, another folder's list clears them.
    m_marks.KeepOnly(m_arrPaths);
}

int CAlbumState::LastPageTop(int count)
{
    int rest = count % ALBUM_PAGE_SIZE;
    return count - (rest == 0 ? ALBUM_PAGE_SIZE : rest);
}

bool CAlbumState::ShowLastPage()
{
    if (Count() == 0)
        return false;
    m_nPageTop = m_nCurrent = LastPageTop(Count());
    return true;
}

const std::string& CAlbumState::PathAt(int index) const
{
    static const std::string empty;
    return index >= 0 && index < Count() ? m_arrPaths[static_cast<size_t>(index)] : empty;
}

bool CAlbumState::PageNext()
{
    m_nCellSel = 0;
    if (m_bSingle) {
        if (m_nCurrent + 1 >= Count())
            return false;
        ++m_nCurrent;
        m_strCurrent = PathAt(m_nCurrent);
        return true;
    }
    if (m_nPageTop + ALBUM_PAGE_SIZE >= Count())
        return false;
    m_nPageTop += ALBUM_PAGE_SIZE;
    m_nCurrent = m_nPageTop;
    return true;
}

bool CAlbumState::PagePrev()
{
    m_nCellSel = 0;
    if (m_bSingle) {
        if (m_nCurrent <= 0)
            return false;
        --m_nCurrent;
        m_strCurrent = PathAt(m_nCurrent);
        return true;
    }
    if (m_nPageTop <= 0)
        return false;
    m_nPageTop -= ALBUM_PAGE_SIZE;
    m_nCurrent = m_nPageTop;
    return true;
}

bool CAlbumState::PageFirst()
{
    m_nCellSel = 0;
    m_nCurrent = 0;
    if (m_bSingle)
        m_strCurrent = PathAt(0);
    else
        m_nPageTop = 0;
    return true;
}

bool CAlbumState::PageLast()
{
    m_nCellSel = 0;
    // The rule offers this command only on a list with pictures; a command
    // that reaches here anyway must not compute a page before the first.
    if (Count() == 0)
        return false;
    if (m_bSingle) {
        m_nCurrent = Count() - 1;
        m_strCurrent = PathAt(m_nCurrent);
    } else {
        m_nPageTop = m_nCurrent = LastPageTop(Count());
    }
    return true;
}

bool CAlbumState::MultiShow()
{
    if (!m_bSingle)
        return false;
    m_bSingle = 0;
    m_zoom.Reset(true);
    m_nCellSel = m_nCurrent % ALBUM_PAGE_SIZE;
    m_nPageTop = m_nCurrent - m_nCellSel;
    return true;
}

int CAlbumState::HitTest(int x, int y) const
{
    int filled = std::min(static_cast<int>(m_arrNames.size()) - m_nPageTop, ALBUM_PAGE_SIZE);
    for (int k = 0; k < filled; ++k) {
        const CellRect& rc = m_rcCell[k];
        if (rc.left < x && x < rc.right && rc.top < y && y < rc.bottom)
            return k;
    }
    return -1;
}

int CAlbumState::SelectCell(int k)
{
    int previous = m_nCellSel;
    m_nCellSel = k;
    m_strCurrent = PathAt(m_nPageTop + k);
    m_nCurrent = m_nPageTop + k;
    SetAnchor(m_nCurrent);
    return previous;
}

int CAlbumState::SelectIndex(int index)
{
    const int previous = m_nCellSel;
    m_nCurrent = index;
    m_strCurrent = PathAt(index);
    FollowCurrent();
    SetAnchor(m_nCurrent);
    return previous;
}

int CAlbumState::IndexOfPath(const std::string& path, int hint) const
{
    if (0 <= hint && hint < Count() && m_arrPaths[static_cast<size_t>(hint)] == path)
        return hint;
    const size_t slash = path.find_last_of('\\');
    for (int index : m_index.Find(path.substr(slash == std::string::npos ? 0 : slash + 1), m_arrNames))
        if (m_arrPaths[static_cast<size_t>(index)] == path)
            return index;
    return -1;
}

void CAlbumState::ShowCellAlone(int k)
{
    m_nCellSel = k;
    m_strCurrent = PathAt(m_nPageTop + k);
    m_nCurrent = m_nPageTop + k;
    m_bSingle = 1;
    m_zoom.Reset(true);
}

int CAlbumState::FilledCells(int top) const
{
    return std::max(0, std::min(Count() - top, ALBUM_PAGE_SIZE));
}

CAlbumState::MoveResult CAlbumState::MoveBy(int dx, int dy)
{
    if (!m_bSingle)
        return MoveOnPage(dx, dy);
    if (m_zoom.IsZoomed())
        return {m_zoom.PanByKey(dx, dy) ? Moved::View : Moved::Nothing, m_nCellSel};
    const bool moved = dx + dy < 0 ? PagePrev() : PageNext();
    return {moved ? Moved::Picture : Moved::Nothing, m_nCellSel};
}

// The page a move reaches (this one, the next or the previous) and its cell
// there; pages before the last are full.
CAlbumState::MoveResult CAlbumState::MoveOnPage(int dx, int dy)
{
    const int cell = m_nCellSel, filled = FilledCells(m_nPageTop);
    Target to = {m_nPageTop, -1};
    if (dx < 0)
        to = cell > 0 ? Target{m_nPageTop, cell - 1} : Target{m_nPageTop - ALBUM_PAGE_SIZE, ALBUM_PAGE_SIZE - 1};
    else if (dx > 0)
        to = cell + 1 < filled ? Target{m_nPageTop, cell + 1} : Target{m_nPageTop + ALBUM_PAGE_SIZE, 0};
    else if (dy < 0)
        to = cell >= 3 ? Target{m_nPageTop, cell - 3} : Target{m_nPageTop - ALBUM_PAGE_SIZE, cell + 6};
    else if (cell + 3 < filled)
        to = {m_nPageTop, cell + 3};
    else if (cell / 3 < (filled - 1) / 3)
        to = {m_nPageTop, filled - 1};     // the row below is shorter: its last cell
    else
        to = {m_nPageTop + ALBUM_PAGE_SIZE, std::min(cell % 3, FilledCells(m_nPageTop + ALBUM_PAGE_SIZE) - 1)};
    if (to.top < 0 || to.top >= Count() || to.cell < 0 || to.cell >= FilledCells(to.top))
        return {Moved::Nothing, cell};
    const bool samePage = to.top == m_nPageTop;
    m_nPageTop = to.top;
    const int previous = SelectCell(to.cell);
    return {samePage ? Moved::Cell : Moved::Page, previous};
}

bool CAlbumState::ToggleAutoShow()
{
    m_bAutoShow = m_bAutoShow ? 0 : 1;
    return m_bAutoShow != 0;
}

namespace {

// The indices of the page that starts at top, within count.
void AppendPage(int top, int count, std::vector<int>* indices)
{
    for (int i = top; i < std::min(top + ALBUM_PAGE_SIZE, count); ++i)
        indices->push_back(i);
}

}  // namespace

// The first index of the page or the picture shown, and the step between two.
int CAlbumState::ShownIndex() const
{
    return m_bSingle ? m_nCurrent : m_nPageTop;
}

int CAlbumState::StepSize() const
{
    return m_bSingle ? 1 : ALBUM_PAGE_SIZE;
}

int CAlbumState::Neighbour(int travel) const
{
    const int at = ShownIndex() + travel * StepSize();
    if (at >= 0 && at < Count())
        return at;
    return travel > 0 && m_bAutoShow && ShownIndex() != 0 ? 0 : -1;
}

std::vector<int> CAlbumState::IndicesAhead(int travel) const
{
    std::vector<int> indices;
    int at = Neighbour(travel);
    if (at < 0)
        at = Neighbour(-travel);
    if (at < 0)
        return indices;
    if (m_bSingle)
        indices.push_back(at);
    else
        AppendPage(at, Count(), &indices);
    return indices;
}

std::vector<int> CAlbumState::IndicesAround() const
{
    std::vector<int> indices;
    for (int at : {Neighbour(-1), ShownIndex(), Neighbour(+1)}) {
        if (at < 0 || at >= Count())
            continue;
        if (m_bSingle)
            indices.push_back(at);
        else
            AppendPage(at, Count(), &indices);
    }
    if (m_bSingle && HasCurrent())
        AppendPage(m_nCurrent - m_nCurrent % ALBUM_PAGE_SIZE, Count(), &indices);
    return indices;
}

CAlbumState::Step CAlbumState::AutoShowStep()
{
    if (m_bSingle && m_nCurrent + 1 >= Count()) {
        m_nCurrent = 0;
        m_strCurrent = PathAt(0);
        return Step::Repaint;
    }
    if (!m_bSingle && m_nPageTop + ALBUM_PAGE_SIZE >= Count()) {
        m_nPageTop = m_nCurrent = m_nCellSel = 0;
        return Step::Repaint;
    }
    return Step::SendNext;
}

bool CAlbumState::CanPageForward() const
{
    return m_bSingle ? m_nCurrent + 1 < Count() : m_nPageTop + ALBUM_PAGE_SIZE < Count();
}

bool CAlbumState::CanPageBack() const
{
    return m_bSingle ? m_nCurrent > 0 : m_nPageTop > 0;
}

bool CAlbumState::CanChangeCurrentFile() const
{
    return !m_bAutoShow && m_nCurrent < Count();
}

bool CAlbumState::CanMoveOnPage(int dx, int dy) const
{
    const int cell = m_nCellSel, filled = FilledCells(m_nPageTop);
    const bool nextPage = m_nPageTop + ALBUM_PAGE_SIZE < Count();
    if (filled == 0)
        return false;
    if (dx < 0)
        return cell > 0 || m_nPageTop > 0;
    if (dx > 0)
        return cell + 1 < filled || nextPage;
    if (dy < 0)
        return cell >= 3 || m_nPageTop > 0;
    return cell / 3 < (filled - 1) / 3 || nextPage;
}

// Zoomed in, an arrow only moves the view, and only while the picture
// reaches past the view's edge that way: at the edge it does nothing (and
// is disabled) rather than leave the zoomed spot for another picture.
bool CAlbumState::CanMoveAlone(int dx, int dy) const
{
    if (m_zoom.IsZoomed())
        return m_zoom.CanPanByKey(dx, dy);
    return dx + dy < 0 ? CanPageBack() : CanPageForward();
}

bool CAlbumState::CanMoveLeft() const
{
    return m_bSingle ? CanMoveAlone(-1, 0) : CanMoveOnPage(-1, 0);
}

bool CAlbumState::CanMoveRight() const
{
    return m_bSingle ? CanMoveAlone(1, 0) : CanMoveOnPage(1, 0);
}

bool CAlbumState::CanMoveUp() const
{
    return m_bSingle ? CanMoveAlone(0, -1) : CanMoveOnPage(0, -1);
}

bool CAlbumState::CanMoveDown() const
{
    return m_bSingle ? CanMoveAlone(0, 1) : CanMoveOnPage(0, 1);
}

const std::string& CAlbumState::CurrentName() const
{
    static const std::string empty;
    return HasCurrent() ? m_arrNames[static_cast<size_t>(m_nCurrent)] : empty;
}

const std::string& CAlbumState::CurrentPath() const
{
    return PathAt(m_nCurrent);
}

void CAlbumState::PointAtFolder(const std::string& folder, const std::string& name)
{
    m_zoom.Reset(true);
    m_nPageTop = 0;
    m_strCurrent = folder;
    AppendFile(folder, name);
    m_nCurrent = Count() - 1;
}

void CAlbumState::ReplaceCurrentName(const std::string& newName, LeadBytePredicate isLead)
{
    if (!HasCurrent())
        return;
    const size_t at = static_cast<size_t>(m_nCurrent);
    const std::string path = FolderOf(m_arrPaths[at], isLead) + newName;
    RenameEntry(m_nCurrent, newName, path);
    m_strCurrent = path;
    FollowCurrent();
}

void CAlbumState::RenameEntry(int index, const std::string& name, const std::string& path)
{
    const size_t at = static_cast<size_t>(index);
    m_index.Renaming(index, name, m_arrNames);
    if (m_strCurrent == m_arrPaths[at])
        m_strCurrent = path;
    m_marks.Rename(m_arrPaths[at], path);
    m_arrNames[at] = name;
    m_arrPaths[at] = path;
    const int to = m_index.PlaceOfRenamed(index, m_arrNames);
    if (to == index)
        return;
    // Within its run, by moves alone: nothing is allocated, nothing can fail.
    const auto move = [index, to](AlbumList& list) {
        const auto from = list.begin() + index;
        if (to < index)
            std::rotate(list.begin() + to, from, from + 1);
        else
            std::rotate(from, from + 1, list.begin() + to + 1);
    };
    move(m_arrNames);
    move(m_arrPaths);
    if (m_nCurrent == index)
        m_nCurrent = to;
    else if (to < index && to <= m_nCurrent && m_nCurrent < index)
        ++m_nCurrent;
    else if (index < to && index < m_nCurrent && m_nCurrent <= to)
        --m_nCurrent;
}

void CAlbumState::RemoveCurrent()
{
    if (!HasCurrent())
        return;
    const int removed = m_nCurrent;
    m_marks.Erase(m_arrPaths[static_cast<size_t>(removed)]);
    m_index.Erasing(removed, m_arrNames);
    m_arrPaths.erase(m_arrPaths.begin() + removed);
    m_arrNames.erase(m_arrNames.begin() + removed);
    const int count = Count();
    if (count == 0) {
        m_strCurrent.clear();
        return;
    }
    if (removed < count) {
        m_strCurrent = PathAt(removed);
        return;
    }
    m_nCurrent = removed - 1;
    m_strCurrent = PathAt(m_nCurrent);
    if (m_nCellSel > 0) {
        --m_nCellSel;
    } else {
        m_nCellSel = ALBUM_PAGE_SIZE - 1;
        if (!m_bSingle)
            m_nPageTop -= ALBUM_PAGE_SIZE;
    }
}

unsigned CAlbumState::ListedRuns(const std::string& name) const
{
    unsigned runs = 0;
    for (int index : m_index.Find(name, m_arrNames))
        runs |= 1u << m_index.RunOf(index);
    return runs;
}

namespace {

// A name as the system makes short ones for long names: at most eight
// characters with a "~" and a digit, and an extension of at most three
// that is one of the list's patterns.
bool IsShortPictureName(const std::string& name)
{
    static const char* const kExtensions[] = {"BMP", "GIF", "PCX", "TGA", "JPG", "TIF"};
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot > 8 || name.size() - dot - 1 != 3)
        return false;
    const size_t tilde = name.find('~');
    if (tilde >= dot || tilde + 1 >= dot || name[tilde + 1] < '0' || name[tilde + 1] > '9')
        return false;
    const std::string extension = FileNameKey(name.substr(dot + 1));
    return std::any_of(std::begin(kExtensions), std::end(kExtensions),
                       [&extension](const char* known) { return extension == known; });
}

}  // namespace

bool CAlbumState::NeedsWalk(const std::vector<FolderChange>& changes) const
{
    // A rename from a short name has that name's own change too.
    return std::any_of(changes.begin(), changes.end(), [this](const FolderChange& change) {
        return change.runs == 0 && IsShortPictureName(change.name) && ListedRuns(change.name) == 0;
    });
}

void CAlbumState::FollowCurrent()
{
    if (m_bSingle)
        return;
    if (Count() == 0) {
        m_nPageTop = m_nCurrent = m_nCellSel = 0;
        return;
    }
    m_nCellSel = m_nCurrent % ALBUM_PAGE_SIZE;
    m_nPageTop = m_nCurrent - m_nCellSel;
}

void CAlbumState::InsertInRun(int run, const std::string& path, const std::string& name)
{
    const int at = m_index.PlaceFor(run, name, m_arrNames);
    const bool wasEmpty = Count() == 0;
    m_arrPaths.insert(m_arrPaths.begin() + at, path);
    try {
        m_arrNames.insert(m_arrNames.begin() + at, name);
    } catch (...) {
        m_arrPaths.erase(m_arrPaths.begin() + at);
        throw;
    }
    m_index.Inserted(run, at, m_arrNames);
    if (wasEmpty) {
        // The first picture of an empty album is its current one, also
        // alone on the screen.
        m_nCurrent = 0;
        m_strCurrent = path;
    } else if (at <= m_nCurrent) {
        ++m_nCurrent;
    }
}

void CAlbumState::RemoveAt(int index)
{
    if (index == m_nCurrent) {
        RemoveCurrent();
        return;
    }
    m_marks.Erase(m_arrPaths[static_cast<size_t>(index)]);
    m_index.Erasing(index, m_arrNames);
    m_arrPaths.erase(m_arrPaths.begin() + index);
    m_arrNames.erase(m_arrNames.begin() + index);
    if (index < m_nCurrent)
        --m_nCurrent;
}

bool CAlbumState::IsShown(int index) const
{
    if (m_bSingle)
        return index == m_nCurrent;
    return index >= m_nPageTop && index < m_nPageTop + ALBUM_PAGE_SIZE;
}

std::vector<std::string> CAlbumState::ShownPaths() const
{
    if (m_bSingle)
        return {m_strCurrent};
    std::vector<std::string> shown;
    for (int i = m_nPageTop; i < std::min(m_nPageTop + ALBUM_PAGE_SIZE, Count()); ++i)
        shown.push_back(m_arrPaths[static_cast<size_t>(i)]);
    return shown;
}

bool CAlbumState::ApplyFolderChanges(const std::vector<FolderChange>& changes, const std::string& folder)
{
    if (!m_index.Valid())
        return false;
    const std::vector<std::string> shownBefore = ShownPaths();

    // The names there now, told apart as the file system does (a rename in
    // case only is one name, there).
    std::unordered_set<std::string> present;
    for (const FolderChange& change : changes)
        if (change.runs != 0)
            present.insert(FileNameKey(change.name));

    // Renames within a pattern first: the entry keeps its place, or in a
    // list in name order takes its new name's. The old name's own change
    // then finds nothing listed. An old name that is there again (written
    // anew since) stays where it is.
    for (const FolderChange& change : changes) {
        if (change.renamedFrom.empty() || change.runs == 0)
            continue;
        const bool caseOnly = SameFileName(change.renamedFrom, change.name);
        if ((!caseOnly && (present.count(FileNameKey(change.renamedFrom)) != 0 || ListedRuns(change.name) != 0)) ||
            ListedRuns(change.renamedFrom) != change.runs)
            continue;
        const std::string path = folder + "\\" + change.name;
        for (std::vector<int> indices = m_index.Find(change.renamedFrom, m_arrNames);
             !indices.empty() && m_arrNames[static_cast<size_t>(indices.front())] != change.name;
             indices = m_index.Find(change.renamedFrom, m_arrNames))
            RenameEntry(indices.front(), change.name, path);
    }

    // Then every name as the folder has it now.
    const std::unordered_set<std::string> markedRenames = MarkedRenames(changes, folder);
    std::vector<const std::string*> writtenAgain;
    for (const FolderChange& change : changes) {
        // Gone in one case, there in another: the same file.
        if (change.runs == 0 && present.count(FileNameKey(change.name)) != 0)
            continue;
        const unsigned listed = ListedRuns(change.name);
        if (listed == change.runs) {
            if (listed != 0)
                writtenAgain.push_back(&change.name);
            continue;
        }
        const std::vector<int> indices = m_index.Find(change.name, m_arrNames);
        bool marked = markedRenames.count(change.name) != 0;
        for (int index : indices)
            marked = marked || IsMarked(index);
        for (auto it = indices.rbegin(); it != indices.rend(); ++it)
            RemoveAt(*it);
        for (int run = 0; run < ALBUM_RUNS; ++run)
            if (change.runs & (1u << run))
                InsertInRun(run, folder + "\\" + change.name, change.name);
        if (marked && change.runs != 0)
            m_marks.Set(folder + "\\" + change.name, true);
    }
    FollowCurrent();

    if (ShownPaths() != shownBefore)
        return true;
    for (const std::string* name : writtenAgain)
        for (int index : m_index.Find(*name, m_arrNames))
            if (IsShown(index))
                return true;
    return false;
}

void CAlbumState::ReplaceListKeepingPlace(AlbumList&& paths, AlbumList&& names, const int (&runLengths)[ALBUM_RUNS])
{
    const bool hadCurrent = HasCurrent();
    const std::string currentName = CurrentName();
    const std::string currentPath = CurrentPath();
    const int previous = m_nCurrent;
    m_arrPaths.swap(paths);
    m_arrNames.swap(names);
    m_index.Build(m_arrNames, runLengths);
    m_marks.KeepOnly(m_arrPaths);

    int found = -1;
    if (hadCurrent)
        for (int index : m_index.Find(currentName, m_arrNames))
            if (m_arrPaths[static_cast<size_t>(index)] == currentPath)
                found = index;
    if (found >= 0) {
        m_nCurrent = found;
    } else {
        // Gone: as after a delete, the one that moved into its place, or
        // the new last one.
        m_nCurrent = std::max(0, std::min(previous, Count() - 1));
        m_strCurrent = PathAt(m_nCurrent);
    }
    FollowCurrent();
}

// The new names of marked pictures renamed into another pattern: the old
// name leaves the list by its own change, before or after the new one's.
std::unordered_set<std::string> CAlbumState::MarkedRenames(const std::vector<FolderChange>& changes,
                                                           const std::string& folder) const
{
    std::unordered_set<std::string> names;
    if (m_marks.Empty())
        return names;
    for (const FolderChange& change : changes)
        if (!change.renamedFrom.empty() && change.runs != 0 && m_marks.Has(folder + "\\" + change.renamedFrom))
            names.insert(change.name);
    return names;
}

std::vector<int> CAlbumState::MarkedIndices() const
{
    std::vector<int> marked;
    if (m_marks.Empty())
        return marked;
    for (int i = 0; i < Count(); ++i)
        if (m_marks.Has(m_arrPaths[static_cast<size_t>(i)]))
            marked.push_back(i);
    return marked;
}

void CAlbumState::SetAnchor(int index)
{
    m_nAnchor = index;
    m_strAnchor = PathAt(index);
}

// Where the anchor's picture is now: the list may have changed around it.
int CAlbumState::AnchorIndex() const
{
    if (m_strAnchor.empty())
        return m_nCurrent;
    if (PathAt(m_nAnchor) == m_strAnchor)
        return m_nAnchor;
    const auto found = std::find(m_arrPaths.begin(), m_arrPaths.end(), m_strAnchor);
    return found != m_arrPaths.end() ? static_cast<int>(found - m_arrPaths.begin()) : m_nCurrent;
}

int CAlbumState::ToggleMarkOfCell(int k)
{
    return ToggleMarkAt(m_nPageTop + k);
}

int CAlbumState::ToggleMarkAt(int index)
{
    const int previous = SelectIndex(index);
    m_marks.Toggle(m_strCurrent);
    SetAnchor(m_nCurrent);
    return previous;
}

int CAlbumState::MarkToCell(int k)
{
    return MarkTo(m_nPageTop + k);
}

int CAlbumState::MarkTo(int index)
{
    const int from = AnchorIndex();
    const int previous = SelectIndex(index);
    SetAnchor(from);    // further Shift+clicks mark from the same picture
    const int first = std::min(from, m_nCurrent), last = std::max(from, m_nCurrent);
    for (int i = std::max(first, 0); i <= last && i < Count(); ++i)
        m_marks.Set(m_arrPaths[static_cast<size_t>(i)], true);
    return previous;
}

CAlbumState::MoveResult CAlbumState::ToggleMarkAndMoveOn()
{
    if (!HasCurrent())
        return {Moved::Nothing, m_nCellSel};
    m_marks.Toggle(CurrentPath());
    SetAnchor(m_nCurrent);
    if (m_bSingle) {
        const int cell = m_nCellSel;
        return {PageNext() ? Moved::Picture : Moved::Nothing, cell};
    }
    return MoveOnPage(1, 0);
}

bool CAlbumState::MarkAll()
{
    const int before = m_marks.Count();
    for (const std::string& path : m_arrPaths)
        m_marks.Set(path, true);
    return m_marks.Count() != before;
}

void CAlbumState::RemoveListed(const std::string& path)
{
    for (int index = Count() - 1; index >= 0; --index)
        if (m_arrPaths[static_cast<size_t>(index)] == path)
            RemoveAt(index);
    FollowCurrent();
}
