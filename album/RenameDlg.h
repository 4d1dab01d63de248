// The rename dialog: one edit field for the new name, without its
// extension. The text is exchanged as typed, with no limit; the command
// checks it. The framework's dialog already fills the field at start and
// reads it back on OK.
#pragma once

#include <string>

#include "framework/Dialog.h"

class CRenameDlg : public CDialog {
public:
    // No parent: the browser frame owns it and is disabled meanwhile.
    CRenameDlg();

    std::string m_strNewName;

protected:
    void DoDataExchange(CDataExchange* dx) override;
};
