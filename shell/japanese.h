#pragma once

// Qt's own words (the Yes and No of a question, the file dialog, the
// calendar's months and weekdays) in Japanese, as the rest of the program.
// Every program of the diary calls this once, after its QApplication exists
// and before its first window.
void useJapanese();
