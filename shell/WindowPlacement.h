// Where the viewer's dialogs open.
#pragma once

class QWidget;

// Moves window so that its frame is centred on the screen it is on (or the primary screen).
void CenterOnScreen(QWidget* window);
