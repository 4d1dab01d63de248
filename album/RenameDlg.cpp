#include "album/RenameDlg.h"

#include "res/resource.h"

CRenameDlg::CRenameDlg() : CDialog(IDD_RENAME, nullptr) {}

void CRenameDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Text(dx, IDC_NEW_NAME, m_strNewName);
}
