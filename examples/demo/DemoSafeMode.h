#pragma once

class QWidget;

namespace Zentar::App
{
class Application;
}

// After a crash loop, asks the user once whether to start with default
// settings, and starts the application in safe mode on yes. Returns whether
// it did; asks nothing when the last runs did not crash in a row.
bool OfferDemoSafeMode(Zentar::App::Application& app, QWidget* parent = nullptr);
