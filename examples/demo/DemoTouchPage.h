#pragma once

class QWidget;

// A page with a long list and a large table. Like every scroll area of the
// application they scroll by dragging a finger, with nothing else to do here.
QWidget* CreateDemoTouchPage(QWidget* parent = nullptr);
