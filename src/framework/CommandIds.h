#pragma once

// Command ids of menus, toolbar and accelerators. The values are the
// program's own and stay fixed: tests and settings refer to them.
namespace cmd {

constexpr int FILE_NEW = 57600;
constexpr int FILE_OPEN = 57601;
constexpr int FILE_SAVE = 57603;
constexpr int FILE_SAVE_AS = 57604;
constexpr int APP_EXIT = 57665;
constexpr int APP_ABOUT = 57664;

constexpr int EDIT_CUT = 57635;
constexpr int EDIT_COPY = 57634;
constexpr int EDIT_PASTE = 57637;
constexpr int EDIT_FIND = 57636;
constexpr int EDIT_UNDO = 57643;
constexpr int FIND_NEXT = 32784;
constexpr int TOOL_FIND = 32781;

constexpr int NEW_FOLDER = 32771;
constexpr int NEW_NOTE = 32773;
constexpr int DELETE_ITEM = 32775;
constexpr int DB_PROPERTIES_FROM_TREE = 32776;
constexpr int DB_PROPERTIES = 32777;

constexpr int VIEW_PREVIEW = 32795;
constexpr int NEXT_PANE = 57680;
constexpr int PREV_PANE = 57681;

constexpr int HELP_OVERVIEW = 32793;
constexpr int HELP_MANUAL = 32794;
constexpr int HELP_WEBSITE = 32789;

} // namespace cmd
