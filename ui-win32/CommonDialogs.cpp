#include "CommonDialogs.h"

#include "WideText.h"

#include <commdlg.h>

namespace korvalin::win32 {

std::wstring OpenFileNameFilter(const std::string& filter) {
    if (filter.empty())
        return {};
    std::wstring list = Widen(filter);
    for (wchar_t& c : list) {
        if (c == L'|')
            c = L'\0';
    }
    list.push_back(L'\0');
    list.push_back(L'\0');
    return list;
}

DWORD OpenFileNameFlags(FileDialogFlags flags) {
    DWORD native = OFN_EXPLORER;
    if (flags.testFlag(FileDialogFlag::OverwritePrompt))
        native |= OFN_OVERWRITEPROMPT;
    if (flags.testFlag(FileDialogFlag::HideReadOnly))
        native |= OFN_HIDEREADONLY;
    return native;
}

UINT MessageBoxStyle(MsgBoxStyles style) {
    UINT native = buttonsOf(style) == MsgBoxStyle::YesNo ? MB_YESNO | MB_DEFBUTTON1 : MB_OK;
    switch (iconOf(style)) {
    case MsgBoxStyle::Critical:
        native |= MB_ICONERROR;
        break;
    case MsgBoxStyle::Exclamation:
        native |= MB_ICONWARNING;
        break;
    default:
        break;
    }
    return native;
}

MsgBoxAnswer MessageBoxAnswer(int answer) {
    switch (answer) {
    case IDYES:
        return MsgBoxAnswer::Yes;
    case IDNO:
        return MsgBoxAnswer::No;
    default:
        return MsgBoxAnswer::Ok;
    }
}

} // namespace korvalin::win32
