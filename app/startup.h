#pragma once

// What every program that shows the diary's windows sets up first: its name
// for the message boxes, a CJK face standing in for Tahoma, and the memory
// a picture may take to decode.
void prepareApplication();
