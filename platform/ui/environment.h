#pragma once
// What the toolkit expects of the process environment, prepared before the
// application object exists.

namespace ui {

// Gives the process a private runtime folder when the session has none (a
// machine without a desktop login), so the toolkit does not warn about it
// on every start.
void PrepareEnvironment();

}  // namespace ui
