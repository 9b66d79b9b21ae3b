#pragma once

// What every program that shows the diary's windows sets up first: its name
// for the message boxes, and a CJK face standing in for Tahoma.
void prepareApplication();
