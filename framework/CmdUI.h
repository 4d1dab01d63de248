// Command updating: one rule per command decides whether it is enabled and
// checked. The same rule serves menus (when a popup opens), toolbar buttons
// (when the thread falls idle) and the gate that drops a disabled command
// before it runs.
#pragma once

#include <windows.h>

#include <cstddef>

class CCmdUI {
public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    virtual ~CCmdUI() = default;
    virtual void Enable(BOOL on = TRUE) = 0;
    virtual void SetCheck(int check = 1) = 0;

    UINT m_nID;
};

// Asks a rule without showing anything: the command gate.
class CProbeCmdUI : public CCmdUI {
public:
    explicit CProbeCmdUI(UINT id) : CCmdUI(id) {}
    void Enable(BOOL on) override { m_bEnabled = on != FALSE; }
    void SetCheck(int check) override { m_nCheck = check; }

    bool m_bEnabled = true;
    int m_nCheck = 0;
};

// One item of an open popup menu, addressed by position.
class CMenuCmdUI : public CCmdUI {
public:
    CMenuCmdUI(HMENU menu, UINT position, UINT id) : CCmdUI(id), m_hMenu(menu), m_nIndex(position) {}
    void Enable(BOOL on) override;
    void SetCheck(int check) override;

private:
    HMENU m_hMenu;
    UINT m_nIndex;
};

// One window class's commands: each row pairs a command with its handler
// and its update rule, whether it is enabled and, for a toggle, checked,
// so that the table shows at a glance what the class handles and when.
template <class T>
struct CommandEntry {
    UINT id;
    void (T::*execute)();
    bool (T::*enabled)() const;     // null: always enabled
    bool (T::*checked)() const;     // null: not a toggle
};

// Runs the row for id: its update rule when ui is given, else its handler.
// False when no row has the id.
template <class T, size_t N>
BOOL DispatchCommand(T* target, const CommandEntry<T> (&table)[N], UINT id, CCmdUI* ui)
{
    for (const CommandEntry<T>& row : table) {
        if (row.id != id)
            continue;
        if (ui != nullptr) {
            ui->Enable(row.enabled == nullptr || (target->*row.enabled)() ? TRUE : FALSE);
            if (row.checked != nullptr)
                ui->SetCheck((target->*row.checked)() ? 1 : 0);
            return TRUE;
        }
        if (row.execute == nullptr)
            return FALSE;
        (target->*row.execute)();
        return TRUE;
    }
    return FALSE;
}
