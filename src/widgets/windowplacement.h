#pragma once
class QWidget;

// Moves a top-level window to the centre of the screen it is on (the primary
// screen before it is first shown), keeping it fully on that screen.
void centreOnScreen(QWidget *window);
