#pragma once
// Fallowmere's own command numbers, shared by the menu, the toolbar and the accelerators; the
// framework's standard ones (open, save, print, ...) are in common/command.h.

namespace fallowmere {

enum WidthCommand : int {
    ID_SET_INFO = 32771,       // the inspection-information dialog
    ID_REPORT_PREVIEW = 32773, // menu 打印预览: collect the checked rows, then preview
    ID_REPORT_PRINT = 32774,   // menu 打印: collect the checked rows, then print
    ID_RECORD_DELETE = 32775,
    ID_RECORD_ADD = 32776, // merge another project into the open one
    ID_VIEW_SINGLE = 32777,
    ID_VIEW_MULTI = 32778,
    ID_EXPORT_PDF = 32781, // menu 导出PDF: collect the checked rows, then save them as a PDF
    ID_VIEW_FIT = 32782,   // 查看 → 适合窗口: the picture pane fits its drawing to the pane
};

// The control id of the record list (the splitter's first pane); its saved column widths are
// kept under this number.
inline constexpr int kRecordListControlId = 0xE900;

// The program's name in the per-user settings (recent files, saved column widths).
inline constexpr const char* kSettingsApplication = "Fallowmere";

} // namespace fallowmere
