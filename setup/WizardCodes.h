#pragma once
// End codes of the wizard pages, and the control IDs the pages share. The
// wizard loop of CSetupDialog moves from page to page by these codes; a page
// may also end with IDOK or IDCANCEL.

constexpr int WIZARD_BACK = 0x3023;    // 12323: go to the previous page
constexpr int WIZARD_NEXT = 0x3024;    // 12324: go to the next page
constexpr int WIZARD_FINISH = 0x3025;  // 12325: end the wizard

// Dialog resources of Setup.
constexpr unsigned IDD_SETUP_BACKGROUND = 102;
constexpr unsigned IDD_WELCOME_PAGE = 129;
constexpr unsigned IDD_AGREEMENT_PAGE = 134;
constexpr unsigned IDD_INSTALL_PATH_PAGE = 135;
constexpr unsigned IDD_COPY_PAGE = 136;
constexpr unsigned IDD_FINISH_PAGE = 137;
constexpr unsigned IDI_SETUP = 128;

// String resources.
constexpr int IDS_BROWSE_TITLE = 102;     // "请选择安装路径:"
constexpr int IDS_CANCEL_COPY = 103;      // the copy page's cancel question

// Controls of the pages (IDCANCEL, 2, is every page's Cancel button).
constexpr int IDC_NEXT = 1000;
constexpr int IDC_BACK = 1001;
constexpr int IDC_TITLE = 1002;
constexpr int IDC_WELCOME_TEXT = 1003;
constexpr int IDC_AGREEMENT_TEXT = 1005;
constexpr int IDC_BROWSE = 1008;
constexpr int IDC_INSTALL_PATH = 1009;
constexpr int IDC_COPY_PROGRESS = 1010;
constexpr int IDC_README = 1012;
constexpr int IDC_COPY_FRAME = 1013;
constexpr int IDC_CONFIGURING = 1014;
constexpr int IDC_COPY_STATUS = 1015;
constexpr int IDC_DISAGREE = 1016;
constexpr int IDC_AGREE = 1017;
