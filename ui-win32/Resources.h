#pragma once

// Shared by the resource scripts and the code that loads what they hold.
#define IDI_EDITOR 1
#define IDD_INPUTBOX 100
#define IDD_NOTICE 101
#define IDC_PROMPT 1001
#define IDC_REPLY 1002
#define IDC_NOTICE_TEXT 1003
#define IDC_NOTICE_ICON 1004
