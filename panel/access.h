#pragma once

class QWidget;

// What a screen reader gets beyond the captions: the logo's name, what " DEFAULT" does,
// the 3D level's steps by the words under them, and the window's controls without the codec
// test groups, which lie outside the window.
void makeAccessible(QWidget& window);
