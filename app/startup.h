#pragma once

// What every program that shows the diary's windows sets up first: its name
// for the message boxes, a CJK face standing in for Tahoma, and Qt's own
// words and calendars in Japanese.
void prepareApplication();
