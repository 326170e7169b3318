#pragma once

#include <exception>

class QWidget;

// Shows the standard text of a failure (a store exception's message, or a
// generic one) in a message box with the stop icon.
void reportException(QWidget* parent, const std::exception& e);
