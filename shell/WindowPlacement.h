// Where the viewer's windows open.
#pragma once

class QWidget;

// Moves window so that its frame is centred on the free area of the screen it is on (or the
// primary screen); a window wider or taller than that area starts at its left or top edge.
void CenterOnScreen(QWidget* window);
// Moves window as little as needed to bring its frame within the free area of its screen, as far
// as it fits there; a window wider or taller than that area starts at its left or top edge.
void KeepOnScreen(QWidget* window);
