#include "ScriptedPrompts.h"

#include "framework/CommandRouter.h"
#include "store/StoreErrors.h"

#include <QAction>
#include <gtest/gtest.h>

namespace {

using L = CommandRouter::Level;

TEST(CommandRouter, FirstLevelInViewDocumentFrameApplicationOrderRuns)
{
    CommandRouter router;
    std::string ran;
    router.add(L::application, 1, [&] { ran += "app"; });
    router.add(L::frame, 1, [&] { ran += "frame"; });
    router.add(L::document, 1, [&] { ran += "doc"; });
    EXPECT_TRUE(router.execute(1));
    EXPECT_EQ(ran, "doc");
    router.add(L::view, 1, [&] { ran += "view"; });
    router.execute(1);
    EXPECT_EQ(ran, "docview");
    router.remove(L::view, 1);
    router.remove(L::document, 1);
    router.execute(1);
    EXPECT_EQ(ran, "docviewframe");
}

TEST(CommandRouter, DisabledOrUnhandledCommandsNeverRun)
{
    CommandRouter router;
    bool enabled = false;
    int runs = 0;
    router.add(L::document, 7, [&] { ++runs; }, [&](CommandUi& ui) { ui.enabled = enabled; });
    QAction* action = router.action(7);
    router.updateAll();
    EXPECT_FALSE(action->isEnabled());

    // Even when the action's flag is stale, the state is asked afresh.
    action->setEnabled(true);
    action->trigger();
    EXPECT_FALSE(router.execute(7));
    EXPECT_EQ(runs, 0);

    enabled = true;
    action->trigger();
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(action->isEnabled());

    QAction* orphan = router.action(99);
    router.updateAll();
    EXPECT_FALSE(orphan->isEnabled());
    EXPECT_FALSE(router.execute(99));
}

TEST(CommandRouter, CheckStateComesFromTheUpdateHandler)
{
    CommandRouter router;
    bool on = true;
    router.add(L::frame, 5, [&] { on = !on; }, [&](CommandUi& ui) { ui.checked = on; });
    QAction* action = router.action(5);
    router.updateAll();
    EXPECT_TRUE(action->isCheckable());
    EXPECT_TRUE(action->isChecked());
    action->trigger();
    EXPECT_FALSE(on);
    EXPECT_FALSE(action->isChecked());
}

TEST(CommandRouter, ExceptionsFromHandlersAreShownWithTheStopIcon)
{
    CommandRouter router;
    router.add(L::document, 3, [] { throw FileException(FileException::Cause::accessDenied, "notes.nte"); });
    ScriptedPrompts prompts;
    prompts.expectMessage("Access to notes.nte was denied.", QMessageBox::Ok, QMessageBox::Critical);
    EXPECT_TRUE(router.execute(3));
}

} // namespace
