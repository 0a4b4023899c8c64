#include "common/test_support.h"
#include "core/controller_keys.h"
#include "core/deferred_store.h"
#include "core/global_settings.h"
#include "core/string_table.h"
#include "core/texts.h"

#include <gtest/gtest.h>

namespace iomira {
namespace {

using test::HeldByAnotherProgram;
using test::runSqlite;
using test::TempStore;

struct DeferredRig {
    DeferredRig() { t.store->setBusyWait(20); }

    DeferredStoreEvents recordedEvents() {
        return {[this](const QString& reason) { heldReasons << reason; }, [this] { ++caughtUp; }};
    }

    CQUORVISData controller(int id, const QString& comment) {
        CQUORVISData c;
        c.DeviceId = id;
        c.DeviceComment = comment;
        c.HostPort = 502;
        return c;
    }

    QString fileRows(const QString& key) {
        return runSqlite(t.path, QStringLiteral("SELECT name || '=' || data FROM vals WHERE key = "
                                                "'%1' AND name IN ('DeviceComment', 'LOG_INPUT', "
                                                "'LOG_TCP') ORDER BY name;\n")
                                     .arg(key));
    }

    TempStore t;
    QStringList heldReasons;
    int caughtUp = 0;
    DeferredStore store{*t.store, recordedEvents()};
};

QStringList keyNames(Store& store) {
    std::vector<StoredKey> keys;
    EXPECT_TRUE(store.readAll(keys));
    QStringList names;
    for (const StoredKey& k : keys)
        names << k.name;
    return names;
}

TEST(DeferredStore, WritesARefusingFileRefusesAreHeldReadBackAndWrittenOnceItIsFree) {
    DeferredRig rig;
    ASSERT_TRUE(saveController(rig.store, rig.controller(5, "Old pump")));
    ASSERT_TRUE(setGlobal(rig.store, LOG_TCP, 1));
    HeldByAnotherProgram holder(rig.t.path);

    // Every save succeeds for its caller; the operator is told once, with the reason.
    EXPECT_TRUE(setGlobal(rig.store, LOG_INPUT, 0));
    EXPECT_TRUE(saveController(rig.store, rig.controller(7, "Boiler")));
    EXPECT_TRUE(deleteController(rig.store, 5));
    EXPECT_TRUE(setGlobal(rig.store, LOG_TCP, 0));
    EXPECT_EQ(rig.heldReasons, QStringList{loadString(TEXT_STORE_HELD)});
    EXPECT_EQ(rig.store.pendingKeyCount(), 3);

    // The program reads what it wrote, as if the file had taken it.
    EXPECT_EQ(getGlobal(rig.store, LOG_INPUT), 0);
    EXPECT_EQ(getGlobal(rig.store, LOG_TCP), 0);
    EXPECT_EQ(keyNames(rig.store), QStringList({"GLOBAL", "ID_7"}));
    KeyValues boiler;
    ASSERT_TRUE(rig.store.readKey("id_7", boiler));
    EXPECT_EQ(boiler.text("DeviceComment"), "Boiler");

    EXPECT_FALSE(rig.store.retryPending());
    EXPECT_EQ(rig.heldReasons.size(), 1);
    EXPECT_EQ(rig.fileRows("GLOBAL"), "LOG_TCP=1\n");
    EXPECT_EQ(rig.fileRows("ID_5"), "DeviceComment=Old pump\n");

    holder.release();
    EXPECT_TRUE(rig.store.retryPending());
    EXPECT_EQ(rig.caughtUp, 1);
    EXPECT_FALSE(rig.store.hasPending());
    EXPECT_EQ(rig.fileRows("GLOBAL"), "LOG_INPUT=0\nLOG_TCP=0\n");
    EXPECT_EQ(rig.fileRows("ID_5"), "");
    EXPECT_EQ(rig.fileRows("ID_7"), "DeviceComment=Boiler\n");
    EXPECT_EQ(keyNames(*rig.t.store), keyNames(rig.store));

    // In step again: the next write goes straight to the file, and nothing more is announced.
    EXPECT_TRUE(setGlobal(rig.store, LOG_INPUT, 1));
    EXPECT_EQ(rig.fileRows("GLOBAL"), "LOG_INPUT=1\nLOG_TCP=0\n");
    EXPECT_TRUE(rig.store.retryPending());
    EXPECT_EQ(rig.caughtUp, 1);
}

TEST(DeferredStore, AKeyRemovedAndWrittenWhileHeldEndsAsItsLastChangeLeftIt) {
    DeferredRig rig;
    ASSERT_TRUE(saveController(rig.store, rig.controller(3, "Gate")));
    ASSERT_TRUE(saveController(rig.store, rig.controller(4, "Dock")));
    {
        HeldByAnotherProgram holder(rig.t.path);
        // Removed, then registered again with the same id: only the new record remains.
        EXPECT_TRUE(deleteController(rig.store, 3));
        EXPECT_TRUE(rig.store.writeValue("ID_3", StoreValue::textValue("DeviceComment", "New")));
        // Renamed, then removed: nothing remains.
        EXPECT_TRUE(rig.store.writeValue("ID_4", StoreValue::textValue("DeviceComment", "Yard")));
        EXPECT_TRUE(deleteController(rig.store, 4));
        // A key only ever written while held, under another spelling than it is read back with.
        EXPECT_TRUE(rig.store.writeValue("Sound_ID_9", StoreValue::dwordValue("LOG_TCP", 2)));
        EXPECT_EQ(keyNames(rig.store), QStringList({"ID_3", "Sound_ID_9"}));
        // Reading one kind of key sees the held writes of that kind only.
        std::vector<StoredKey> controllers;
        ASSERT_TRUE(rig.store.readKeysStartingWith("id_", controllers));
        ASSERT_EQ(controllers.size(), 1u);
        EXPECT_EQ(controllers[0].values.text("DeviceComment"), "New");
        KeyValues gate;
        ASSERT_TRUE(rig.store.readKey("ID_3", gate));
        EXPECT_EQ(gate.count(), 1);
        EXPECT_EQ(rig.heldReasons.size(), 1);
    }
    EXPECT_TRUE(rig.store.retryPending());
    EXPECT_EQ(runSqlite(rig.t.path, "SELECT key || ':' || name || '=' || data FROM vals ORDER BY "
                                    "key, name;\n"),
              "ID_3:DeviceComment=New\nSound_ID_9:LOG_TCP=2\n");
    EXPECT_EQ(keyNames(*rig.t.store), QStringList({"ID_3", "Sound_ID_9"}));
}

TEST(DeferredStore, AFileThatRefusesAgainLaterIsAnnouncedAgain) {
    DeferredRig rig;
    for (int round = 1; round <= 2; ++round) {
        HeldByAnotherProgram holder(rig.t.path);
        EXPECT_TRUE(setGlobal(rig.store, LOG_INPUT, round));
        holder.release();
        EXPECT_TRUE(rig.store.retryPending());
        EXPECT_EQ(rig.heldReasons.size(), round);
        EXPECT_EQ(rig.caughtUp, round);
        EXPECT_EQ(rig.fileRows("GLOBAL"), QStringLiteral("LOG_INPUT=%1\n").arg(round));
    }
}

} // namespace
} // namespace iomira
