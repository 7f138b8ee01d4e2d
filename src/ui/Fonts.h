#pragma once

namespace quorvane {

// Maps the Windows Traditional Chinese faces the layouts name (標楷體, 新細明體, …) onto the
// AR PL faces installed here, and makes 新細明體 the application's font.
void InstallFontSubstitutions();

}  // namespace quorvane
