#pragma once

namespace quorvane {

// Maps the Windows Traditional Chinese faces the layouts name (標楷體, 新細明體, …) onto the
// AR PL faces installed here, through Qt's font substitution table. Safe to call more than once.
void InstallFaceSubstitutions();

}  // namespace quorvane
