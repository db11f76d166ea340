// Window-test support for the archive and exchange windows: acting on a modal window once it shows.
#pragma once

#include <QWidget>
#include <functional>

// Runs `act` once, right after the window's next showing (inside its modal loop).
void ExchWhenShown(QWidget* window, std::function<void()> act);
