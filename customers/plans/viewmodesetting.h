#pragma once

namespace kestrova::plans {

// The list view mode the client window and the plan window share through the per-user setting
// "ViewMode" of application "Kestrova", section "Settings" (0 large icons, 1 small icons,
// 2 list, 3 details). Read with "0" as the default and the leading number of the stored text;
// a number outside 0 to 3 reads as 0.
int readViewMode();
// Stores the mode as decimal text.
void saveViewMode(int mode);

} // namespace kestrova::plans
