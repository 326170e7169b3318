#include "framework/ErrorReport.h"

#include "framework/Prompts.h"
#include "store/StoreErrors.h"

#include <new>

void reportException(QWidget* parent, const std::exception& e)
{
    QString text;
    if (dynamic_cast<const StoreException*>(&e))
        text = QString::fromStdString(e.what());
    else if (dynamic_cast<const std::bad_alloc*>(&e))
        text = QStringLiteral("Out of memory.");
    else
        text = QStringLiteral("An unexpected error occurred: %1").arg(QString::fromLocal8Bit(e.what()));
    prompts::error(parent, text);
}
