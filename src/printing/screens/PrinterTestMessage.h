#pragma once

namespace quorvane {

// The printer test behind the print job screen's 測印表機 key: tests the current printer
// (TestPrinterQueue) and shows what it found in a message box titled "印表機測試", with
// "印表機測試成功" and the information icon when it passed, "印表機測試不正常" and the warning
// icon otherwise. Spooler failures are thrown to the caller, whose toolbar handler routes them.
void ShowPrinterTest();

}  // namespace quorvane
