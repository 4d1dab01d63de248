#include "framework/CmdUI.h"

void CMenuCmdUI::Enable(BOOL on)
{
    EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (on ? MF_ENABLED : MF_GRAYED));
}

void CMenuCmdUI::SetCheck(int check)
{
    CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (check ? MF_CHECKED : MF_UNCHECKED));
}
