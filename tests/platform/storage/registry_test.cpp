#include "platform/storage/registry.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "platform/hardware/hardware.h"
#include "platform/kernel/last_error.h"
#include "platform/storage/device.h"
#include "platform/storage/journal.h"
#include "platform/storage/device_store.h"
#include "support/store_sql.h"
#include "support/temp_device.h"

namespace {

using namespace plat;

constexpr std::u16string_view kAppKey = u"Software\\Korvel\\Tallowin";

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> list) { return std::vector<uint8_t>(list); }

std::vector<uint8_t> StringBytes(std::u16string_view text) {
    std::vector<uint8_t> bytes(text.size() * 2 + 2, 0);
    std::memcpy(bytes.data(), text.data(), text.size() * 2);
    return bytes;
}

std::vector<std::u16string> SubkeyNames(HKey key) {
    std::vector<std::u16string> names;
    std::u16string name;
    for (uint32_t i = 0; RegEnumKey(key, i, &name) == kErrorSuccess; ++i) names.push_back(name);
    return names;
}

std::vector<std::u16string> ValueNames(HKey key) {
    std::vector<std::u16string> names;
    std::u16string name;
    uint32_t type;
    for (uint32_t i = 0; RegEnumValue(key, i, &name, &type) == kErrorSuccess; ++i) names.push_back(name);
    return names;
}

// Every change the registry reported through its hook.
struct ChangeRecord {
    HKey root;
    std::u16string path;
    std::u16string name;
    bool operator==(const ChangeRecord&) const = default;
};
std::vector<ChangeRecord> g_changes;
void RecordChange(HKey root, const std::u16string& path, const std::u16string& name) {
    g_changes.push_back({root, path, name});
}

class RegistryTest : public ::testing::Test {
protected:
    TempDevice device_;
};

TEST_F(RegistryTest, KeysMatchWithoutRegardToCaseAndKeepTheirSpelling) {
    HKey key = 0;
    bool created = false;
    ASSERT_EQ(RegCreateKey(kHkeyCurrentUser, u"Software\\Korvel\\Tallowin", &key, &created), kErrorSuccess);
    EXPECT_TRUE(created);
    RegCloseKey(key);

    ASSERT_EQ(RegCreateKey(kHkeyCurrentUser, u"SOFTWARE\\korvel\\TALLOWIN", &key, &created), kErrorSuccess);
    EXPECT_FALSE(created);
    RegCloseKey(key);
    // Latin-1 letters fold too.
    ASSERT_EQ(RegCreateKey(kHkeyCurrentUser, u"Software\\\u00c4rger", &key, &created), kErrorSuccess);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, u"software\\\u00e4RGER", &key), kErrorSuccess);
    RegCloseKey(key);

    ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, u"software", &key), kErrorSuccess);
    EXPECT_EQ(SubkeyNames(key), (std::vector<std::u16string>{u"Korvel", u"\u00c4rger"}));
    RegCloseKey(key);
    // The roots are separate trees.
    EXPECT_EQ(RegOpenKey(kHkeyLocalMachine, kAppKey, &key), kErrorFileNotFound);
}

TEST_F(RegistryTest, PathsTolerateExtraBackslashesAndRefuseBadNames) {
    HKey key = 0;
    ASSERT_EQ(RegCreateKey(kHkeyLocalMachine, u"\\System\\\\Power\\Timeouts\\", &key), kErrorSuccess);
    RegCloseKey(key);
    ASSERT_EQ(RegOpenKey(kHkeyLocalMachine, u"System\\Power\\Timeouts", &key), kErrorSuccess);
    EXPECT_TRUE(SubkeyNames(key).empty());
    RegCloseKey(key);

    key = 77;
    EXPECT_EQ(RegCreateKey(kHkeyLocalMachine, std::u16string(256, u'k'), &key), kErrorInvalidParameter);
    EXPECT_EQ(RegCreateKey(kHkeyLocalMachine, std::u16string(u"a\0b", 3), &key), kErrorInvalidParameter);
    EXPECT_EQ(RegOpenKey(kHkeyLocalMachine, u"System\\Missing\\Deeper", &key), kErrorFileNotFound);
    EXPECT_EQ(key, 77u);
    EXPECT_EQ(RegCreateKey(kHkeyLocalMachine, u"System", nullptr), kErrorInvalidParameter);
}

TEST_F(RegistryTest, ValuesKeepTypeAndBytes) {
    HKey key = 0;
    ASSERT_EQ(RegCreateKey(kHkeyCurrentUser, kAppKey, &key), kErrorSuccess);
    uint32_t dword = 700;
    ASSERT_EQ(RegSetValue(key, u"RunningProfile", kRegDword, &dword, 4), kErrorSuccess);
    std::vector<uint8_t> name = StringBytes(u"Night");
    ASSERT_EQ(RegSetValue(key, u"RunningProfileName", kRegSz, name.data(), static_cast<uint32_t>(name.size())),
              kErrorSuccess);
    std::vector<uint8_t> blob = Bytes({0, 1, 0xfe, 0xff});
    ASSERT_EQ(RegSetValue(key, u"Blob", kRegBinary, blob.data(), 4), kErrorSuccess);
    ASSERT_EQ(RegSetValue(key, u"Empty", kRegBinary, nullptr, 0), kErrorSuccess);

    uint32_t type = 0;
    std::vector<uint8_t> data;
    ASSERT_EQ(RegQueryValue(key, u"runningprofile", &type, &data), kErrorSuccess);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(data, Bytes({0xbc, 0x02, 0, 0}));
    ASSERT_EQ(RegQueryValue(key, u"RUNNINGPROFILENAME", &type, &data), kErrorSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(data, name);
    ASSERT_EQ(RegQueryValue(key, u"Blob", &type, &data), kErrorSuccess);
    EXPECT_EQ(type, kRegBinary);
    EXPECT_EQ(data, blob);
    ASSERT_EQ(RegQueryValue(key, u"Empty", &type, &data), kErrorSuccess);
    EXPECT_TRUE(data.empty());

    // A later write with other case and type replaces the value; the name
    // keeps its first spelling.
    ASSERT_EQ(RegSetValue(key, u"BLOB", kRegDword, &dword, 4), kErrorSuccess);
    ASSERT_EQ(RegQueryValue(key, u"blob", &type, &data), kErrorSuccess);
    EXPECT_EQ(type, kRegDword);
    EXPECT_EQ(ValueNames(key), (std::vector<std::u16string>{u"Blob", u"Empty", u"RunningProfile", u"RunningProfileName"}));
    RegCloseKey(key);
}

TEST_F(RegistryTest, StringsAreStoredTerminatedAndBadDataIsRefused) {
    HKey key = 0;
    ASSERT_EQ(RegCreateKey(kHkeyCurrentUser, kAppKey, &key), kErrorSuccess);
    const char16_t text[] = u"abc";
    ASSERT_EQ(RegSetValue(key, u"Unterminated", kRegSz, text, 6), kErrorSuccess);
    std::vector<uint8_t> data;
    ASSERT_EQ(RegQueryValue(key, u"Unterminated", nullptr, &data), kErrorSuccess);
    EXPECT_EQ(data, StringBytes(u"abc"));
    ASSERT_EQ(RegSetValue(key, u"Nothing", kRegSz, nullptr, 0), kErrorSuccess);
    ASSERT_EQ(RegQueryValue(key, u"Nothing", nullptr, &data), kErrorSuccess);
    EXPECT_EQ(data, Bytes({0, 0}));

    uint32_t dword = 1;
    EXPECT_EQ(RegSetValue(key, u"Short", kRegDword, &dword, 2), kErrorInvalidParameter);
    EXPECT_EQ(RegSetValue(key, u"Odd", kRegSz, text, 5), kErrorInvalidParameter);
    EXPECT_EQ(RegSetValue(key, u"Multi", 7, text, 8), kErrorInvalidParameter);
    EXPECT_EQ(RegSetValue(key, u"Null", kRegBinary, nullptr, 4), kErrorInvalidParameter);
    EXPECT_EQ(RegSetValue(key, std::u16string(16384, u'v'), kRegDword, &dword, 4), kErrorInvalidParameter);
    // Nothing of the refused writes arrived.
    EXPECT_EQ(ValueNames(key), (std::vector<std::u16string>{u"Nothing", u"Unterminated"}));
    RegCloseKey(key);
}

TEST_F(RegistryTest, MissingValuesLeaveTheCallersDefault) {
    uint32_t type = 99;
    std::vector<uint8_t> data = Bytes({7});
    HKey key = 0;
    ASSERT_EQ(RegCreateKey(kHkeyCurrentUser, kAppKey, &key), kErrorSuccess);
    EXPECT_EQ(RegQueryValue(key, u"ManualProfile", &type, &data), kErrorFileNotFound);
    EXPECT_EQ(type, 99u);
    EXPECT_EQ(data, Bytes({7}));
    RegCloseKey(key);

    uint32_t value = 700;
    EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, kAppKey, u"ManualProfile", &value));
    EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, u"Software\\Missing", u"ManualProfile", &value));
    EXPECT_EQ(value, 700u);
    // A value of another type is not read as a DWORD, nor a DWORD as a string.
    ASSERT_TRUE(RegWriteString(kHkeyCurrentUser, kAppKey, u"ManualProfile", u"3"));
    EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, kAppKey, u"ManualProfile", &value));
    EXPECT_EQ(value, 700u);
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"Locked", 1));
    std::u16string text = u"default";
    EXPECT_FALSE(RegReadString(kHkeyCurrentUser, kAppKey, u"Locked", &text));
    EXPECT_EQ(text, u"default");
}

TEST_F(RegistryTest, OneCallHelpersCreateTheKeyAndRoundTrip) {
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"ManualTimeOut", 401795000u));
    ASSERT_TRUE(RegWriteString(kHkeyLocalMachine, u"SOFTWARE\\Apps\\Korvelnet Tallowin", u"InstallDir",
                               u"\\Program Files\\Tallowin \u00e9t\u00e9"));
    ASSERT_TRUE(RegWriteString(kHkeyCurrentUser, kAppKey, u"RunningProfileIcon", u""));
    uint32_t value = 0;
    EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"software\\korvel\\tallowin", u"manualtimeout", &value));
    EXPECT_EQ(value, 401795000u);
    std::u16string text;
    EXPECT_TRUE(RegReadString(kHkeyLocalMachine, u"Software\\Apps\\Korvelnet Tallowin", u"installdir", &text));
    EXPECT_EQ(text, u"\\Program Files\\Tallowin \u00e9t\u00e9");
    std::u16string icon(1, u'x');
    EXPECT_TRUE(RegReadString(kHkeyCurrentUser, kAppKey, u"RunningProfileIcon", &icon));
    EXPECT_TRUE(icon.empty());
}

TEST_F(RegistryTest, EnumerationEndsWithNoMoreItems) {
    for (const char16_t* name : {u"b", u"A", u"c"}) {
        ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, std::u16string(u"Enum\\") + name, u"v", 1));
        ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Enum", name, 2));
    }
    HKey key = 0;
    ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, u"Enum", &key), kErrorSuccess);
    EXPECT_EQ(SubkeyNames(key), (std::vector<std::u16string>{u"A", u"b", u"c"}));
    EXPECT_EQ(ValueNames(key), (std::vector<std::u16string>{u"A", u"b", u"c"}));
    std::u16string name = u"kept";
    uint32_t type = 5;
    EXPECT_EQ(RegEnumKey(key, 3, &name), kErrorNoMoreItems);
    EXPECT_EQ(RegEnumValue(key, 3, &name, &type), kErrorNoMoreItems);
    EXPECT_EQ(name, u"kept");
    ASSERT_EQ(RegEnumValue(key, 1, &name, &type), kErrorSuccess);
    EXPECT_EQ(name, u"b");
    EXPECT_EQ(type, kRegDword);
    RegCloseKey(key);
}

TEST_F(RegistryTest, DeletingAKeyDeletesItsSubtreeOnly) {
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Tree\\Branch\\Leaf", u"x", 1));
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Tree\\Branch", u"y", 2));
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Tree\\BranchTwo", u"z", 3));
    HKey leaf = 0;
    ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, u"Tree\\Branch\\Leaf", &leaf), kErrorSuccess);

    ASSERT_EQ(RegDeleteKey(kHkeyCurrentUser, u"TREE\\branch"), kErrorSuccess);
    HKey key = 0;
    EXPECT_EQ(RegOpenKey(kHkeyCurrentUser, u"Tree\\Branch", &key), kErrorFileNotFound);
    EXPECT_EQ(RegOpenKey(kHkeyCurrentUser, u"Tree\\Branch\\Leaf", &key), kErrorFileNotFound);
    uint32_t value = 0;
    EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Tree\\BranchTwo", u"z", &value));
    EXPECT_EQ(value, 3u);

    // A handle to a deleted key reads nothing and cannot bring it back.
    uint32_t one = 1;
    EXPECT_EQ(RegQueryValue(leaf, u"x", nullptr, nullptr), kErrorFileNotFound);
    EXPECT_EQ(RegSetValue(leaf, u"x", kRegDword, &one, 4), kErrorFileNotFound);
    EXPECT_EQ(RegCreateKey(leaf, u"Child", &key), kErrorFileNotFound);
    EXPECT_EQ(RegCloseKey(leaf), kErrorSuccess);
    // Recreating the key starts it empty.
    ASSERT_EQ(RegCreateKey(kHkeyCurrentUser, u"Tree\\Branch", &key), kErrorSuccess);
    EXPECT_TRUE(SubkeyNames(key).empty());
    EXPECT_TRUE(ValueNames(key).empty());
    RegCloseKey(key);

    EXPECT_EQ(RegDeleteKey(kHkeyCurrentUser, u"Tree\\Nowhere"), kErrorFileNotFound);
    EXPECT_EQ(RegDeleteKey(kHkeyCurrentUser, u""), kErrorAccessDenied);
    EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Tree\\BranchTwo", u"z", &value));
}

TEST_F(RegistryTest, DeletingAValue) {
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"Flags2", 1));
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"Locked", 1));
    HKey key = 0;
    ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, kAppKey, &key), kErrorSuccess);
    EXPECT_EQ(RegDeleteValue(key, u"FLAGS2"), kErrorSuccess);
    EXPECT_EQ(RegDeleteValue(key, u"Flags2"), kErrorFileNotFound);
    EXPECT_EQ(ValueNames(key), (std::vector<std::u16string>{u"Locked"}));
    RegCloseKey(key);
}

TEST_F(RegistryTest, InvalidHandlesAreRefused) {
    HKey key = 0;
    ASSERT_EQ(RegCreateKey(kHkeyCurrentUser, kAppKey, &key), kErrorSuccess);
    ASSERT_EQ(RegCloseKey(key), kErrorSuccess);
    uint32_t one = 1;
    std::u16string name;
    HKey out = 0;
    for (HKey bad : {HKey{0}, HKey{12345}, key, HKey{0x80000003u}}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(RegCloseKey(bad), kErrorInvalidHandle);
        EXPECT_EQ(RegOpenKey(bad, u"", &out), kErrorInvalidHandle);
        EXPECT_EQ(RegCreateKey(bad, u"X", &out), kErrorInvalidHandle);
        EXPECT_EQ(RegSetValue(bad, u"v", kRegDword, &one, 4), kErrorInvalidHandle);
        EXPECT_EQ(RegQueryValue(bad, u"v", nullptr, nullptr), kErrorInvalidHandle);
        EXPECT_EQ(RegDeleteValue(bad, u"v"), kErrorInvalidHandle);
        EXPECT_EQ(RegDeleteKey(bad, u"X"), kErrorInvalidHandle);
        EXPECT_EQ(RegEnumKey(bad, 0, &name), kErrorInvalidHandle);
        EXPECT_EQ(RegEnumValue(bad, 0, &name, nullptr), kErrorInvalidHandle);
    }
    EXPECT_EQ(RegCloseKey(kHkeyCurrentUser), kErrorSuccess);
}

TEST_F(RegistryTest, EachDeviceHasItsOwnRegistry) {
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"Locked", 1));
    HKey key = 0;
    ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, kAppKey, &key), kErrorSuccess);
    uint32_t value = 0;
    {
        TempDevice other;
        EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, kAppKey, u"Locked", &value));
        // A handle opened on the first device means nothing here.
        EXPECT_EQ(RegQueryValue(key, u"Locked", nullptr, nullptr), kErrorInvalidHandle);
        ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"Locked", 2));
    }
    ASSERT_TRUE(SetDevice(device_.Root()));
    EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, kAppKey, u"Locked", &value));
    EXPECT_EQ(value, 1u);
    EXPECT_TRUE(std::filesystem::exists(device_.StateDir() / "device.db"));
}

TEST_F(RegistryTest, ChangeHookSeesEveryValueChange) {
    g_changes.clear();
    SetRegistryChangeHook(&RecordChange);
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"Locked", 1));
    HKey key = 0;
    ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, u"Software\\Korvel", &key), kErrorSuccess);
    uint32_t one = 1;
    ASSERT_EQ(RegSetValue(key, u"Top", kRegDword, &one, 4), kErrorSuccess);
    EXPECT_EQ(RegSetValue(key, u"Bad", kRegDword, &one, 3), kErrorInvalidParameter);
    ASSERT_EQ(RegDeleteValue(key, u"Top"), kErrorSuccess);
    EXPECT_EQ(RegDeleteValue(key, u"Top"), kErrorFileNotFound);
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Software\\Korvel\\Tallowin\\Sub", u"Deep", 1));
    ASSERT_EQ(RegDeleteKey(key, u"Tallowin"), kErrorSuccess);
    RegCloseKey(key);
    SetRegistryChangeHook(nullptr);
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"Unwatched", 1));

    std::vector<ChangeRecord> expected = {
        {kHkeyCurrentUser, u"Software\\Korvel\\Tallowin", u"Locked"},
        {kHkeyCurrentUser, u"Software\\Korvel", u"Top"},
        {kHkeyCurrentUser, u"Software\\Korvel", u"Top"},
        {kHkeyCurrentUser, u"Software\\Korvel\\Tallowin\\Sub", u"Deep"},
    };
    ASSERT_EQ(g_changes.size(), 6u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), g_changes.begin()));
    // The key deletion reports both values it removed, in any order.
    std::vector<ChangeRecord> removed(g_changes.begin() + 4, g_changes.end());
    std::vector<ChangeRecord> expectedRemoved = {
        {kHkeyCurrentUser, u"Software\\Korvel\\Tallowin", u"Locked"},
        {kHkeyCurrentUser, u"Software\\Korvel\\Tallowin\\Sub", u"Deep"},
    };
    EXPECT_TRUE(std::is_permutation(removed.begin(), removed.end(), expectedRemoved.begin()));
}

// A write made inside a caller's larger transaction is heard of once that
// transaction commits, when other processes can read it, and not at all when
// it is rolled back (the watcher would otherwise read the old value, or hear
// of one that never was).
std::vector<std::string> g_seenByOthers;
void RecordCommittedValue(HKey, const std::u16string&, const std::u16string& name) {
    const std::filesystem::path root = DeviceRoot();
    g_seenByOthers.push_back(tlw::Utf16ToUtf8(name) + "=" +
                             StoreQuery(root, "SELECT COUNT(*) FROM reg_values WHERE name = '" + tlw::Utf16ToUtf8(name) + "'"));
}

TEST_F(RegistryTest, ChangesInsideALargerTransactionAreHeardOfWhenItCommits) {
    g_seenByOthers.clear();
    SetRegistryChangeHook(&RecordCommittedValue);
    uint32_t error = store::Write([](store::Transaction&) -> uint32_t {
        EXPECT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"First", 1));
        // A savepoint rolled back inside it takes only its own change along.
        store::Write([](store::Transaction&) -> uint32_t {
            RegWriteDword(kHkeyCurrentUser, kAppKey, u"Undone", 1);
            return kErrorAccessDenied;
        });
        EXPECT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"Second", 2));
        EXPECT_TRUE(g_seenByOthers.empty());
        return kErrorSuccess;
    });
    EXPECT_EQ(error, kErrorSuccess);
    EXPECT_EQ(g_seenByOthers, (std::vector<std::string>{"First=1\n", "Second=1\n"}));

    g_seenByOthers.clear();
    error = store::Write([](store::Transaction&) -> uint32_t {
        RegWriteDword(kHkeyCurrentUser, kAppKey, u"Dropped", 1);
        return kErrorInvalidParameter;
    });
    EXPECT_EQ(error, kErrorInvalidParameter);
    EXPECT_TRUE(g_seenByOthers.empty());
    uint32_t value = 0;
    EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, kAppKey, u"Dropped", &value));

    // Outside any transaction a write is heard of at once.
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kAppKey, u"Alone", 1));
    EXPECT_EQ(g_seenByOthers, (std::vector<std::string>{"Alone=1\n"}));
    SetRegistryChangeHook(nullptr);
}

// The registry remembers the ids of keys it walked to; every way a key can go
// (deleted here, made inside a transaction that is rolled back, renamed or
// replaced by another program) is seen by the next call, also when a new key
// is given the id of the one that went.
TEST_F(RegistryTest, RememberedKeysFollowEveryWayAKeyCanGo) {
    constexpr std::u16string_view kDeep = u"Software\\A\\B";
    uint32_t value = 0;
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kDeep, u"V", 1));
    ASSERT_TRUE(RegReadDword(kHkeyCurrentUser, kDeep, u"V", &value));
    ASSERT_EQ(RegDeleteKey(kHkeyCurrentUser, u"Software\\A"), kErrorSuccess);
    EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, kDeep, u"V", &value));
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kDeep, u"V", 2));
    ASSERT_TRUE(RegReadDword(kHkeyCurrentUser, kDeep, u"v", &value));
    EXPECT_EQ(value, 2u);

    // A key made in a transaction that is rolled back is gone; the next key
    // made takes its id.
    store::Write([](store::Transaction&) -> uint32_t {
        uint32_t inside = 0;
        EXPECT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Software\\Undone", u"V", 3));
        EXPECT_TRUE(RegReadDword(kHkeyCurrentUser, u"Software\\Undone", u"V", &inside));
        return kErrorAccessDenied;
    });
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Software\\Other", u"V", 4));
    EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, u"Software\\Undone", u"V", &value));

    // Another program renames the key, then makes a new one under the old name.
    ASSERT_TRUE(RegReadDword(kHkeyCurrentUser, kDeep, u"V", &value));
    StoreExec(device_.Root(), "UPDATE reg_keys SET name = 'Gone', folded = 'GONE' WHERE folded = 'B'");
    EXPECT_FALSE(RegReadDword(kHkeyCurrentUser, kDeep, u"V", &value));
    StoreExec(device_.Root(),
              "INSERT INTO reg_keys(parent, name, folded) SELECT id, 'B', 'B' FROM reg_keys WHERE folded = 'A';"
              "INSERT INTO reg_values(key, name, folded, type, data) "
              "SELECT id, 'V', 'V', 4, X'05000000' FROM reg_keys WHERE folded = 'B'");
    ASSERT_TRUE(RegReadDword(kHkeyCurrentUser, kDeep, u"V", &value));
    EXPECT_EQ(value, 5u);
    // Inside a batch the key is found as well, and a change made in it is read back.
    {
        store::Batch batch;
        ASSERT_TRUE(RegReadDword(kHkeyCurrentUser, kDeep, u"V", &value));
        EXPECT_EQ(value, 5u);
        ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, kDeep, u"V", 6));
        ASSERT_TRUE(RegReadDword(kHkeyCurrentUser, kDeep, u"V", &value));
        EXPECT_EQ(value, 6u);
    }
    EXPECT_EQ(StoreQuery(device_.Root(), "SELECT hex(data) FROM reg_values v JOIN reg_keys k ON v.key = k.id "
                                         "WHERE k.folded = 'B' AND v.folded = 'V'"),
              "06000000\n");
}

TEST(RegistryPath, ParsesBothSpellingsOfTheRoots) {
    HKey root = 0;
    std::u16string sub;
    ASSERT_TRUE(ParseRegistryPath(u"HKCU\\Software\\Korvel\\Tallowin", &root, &sub));
    EXPECT_EQ(root, kHkeyCurrentUser);
    EXPECT_EQ(sub, u"Software\\Korvel\\Tallowin");
    ASSERT_TRUE(ParseRegistryPath(u"hkey_local_machine\\SOFTWARE\\Apps", &root, &sub));
    EXPECT_EQ(root, kHkeyLocalMachine);
    EXPECT_EQ(sub, u"SOFTWARE\\Apps");
    ASSERT_TRUE(ParseRegistryPath(u"HKLM", &root, &sub));
    EXPECT_EQ(sub, u"");
    EXPECT_FALSE(ParseRegistryPath(u"HKCUX\\Software", &root, &sub));
    EXPECT_FALSE(ParseRegistryPath(u"HKEY_CLASSES_ROOT\\x", &root, &sub));
    EXPECT_FALSE(ParseRegistryPath(u"", &root, &sub));
}

// Three processes write 200 distinct values each at the same time, reading
// back as they go, and with each value add a journal entry and count up a
// hardware fact: every write must land (the registry, the journal and the
// hardware facts share the device store) and none may fail on a busy store.
TEST_F(RegistryTest, ConcurrentProcessesLoseNoWrites) {
    constexpr int kWrites = 200;
    constexpr int kChildren = 3;
    const char16_t* const keys[kChildren] = {u"Race", u"Race\\Second", u"Race\\Third"};
    // Open the store here first, so that the children inherit an open
    // connection they must not use.
    ASSERT_TRUE(RegWriteDword(kHkeyCurrentUser, u"Race", u"start", 1));
    ASSERT_TRUE(ChangeHardwareState([](HardwareState& h) { h.batteryCurrent = 0; }));
    SetProgramName("parent");
    JournalAppend("start");
    std::vector<pid_t> children;
    for (int child = 0; child < kChildren; ++child) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            SetProgramName("writer" + std::to_string(child));
            int failures = 0;
            for (int i = 0; i < kWrites; ++i) {
                std::u16string name = tlw::Utf8ToUtf16("p" + std::to_string(child) + "_" + std::to_string(i));
                if (!RegWriteDword(kHkeyCurrentUser, keys[child], name, static_cast<uint32_t>(i))) ++failures;
                uint32_t back = 0;
                if (!RegReadDword(kHkeyCurrentUser, keys[child], name, &back) || back != static_cast<uint32_t>(i))
                    ++failures;
                JournalAppend("entry " + std::to_string(i));
                if (!ChangeHardwareState([](HardwareState& h) { ++h.batteryCurrent; })) ++failures;
            }
            _exit(failures > 100 ? 100 : failures);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "failed calls in child " << pid;
    }
    for (int child = 0; child < kChildren; ++child) {
        HKey key = 0;
        ASSERT_EQ(RegOpenKey(kHkeyCurrentUser, keys[child], &key), kErrorSuccess);
        EXPECT_EQ(ValueNames(key).size(), static_cast<size_t>(child == 0 ? kWrites + 1 : kWrites));
        for (int i = 0; i < kWrites; ++i) {
            std::vector<uint8_t> data;
            std::u16string name = tlw::Utf8ToUtf16("p" + std::to_string(child) + "_" + std::to_string(i));
            ASSERT_EQ(RegQueryValue(key, name, nullptr, &data), kErrorSuccess) << i;
            uint32_t value = 0;
            std::memcpy(&value, data.data(), 4);
            EXPECT_EQ(value, static_cast<uint32_t>(i));
        }
        RegCloseKey(key);
    }
    // Every journal entry, each writer's in its own order.
    std::vector<std::string> lines = JournalRead();
    ASSERT_EQ(lines.size(), 1u + kChildren * kWrites);
    std::map<std::string, int> next;  // per writer: the entry expected next
    for (size_t i = 1; i < lines.size(); ++i) {
        size_t program = lines[i].find(' ') + 1;
        size_t effect = lines[i].find(' ', program) + 1;
        std::string writer = lines[i].substr(program, effect - 1 - program);
        EXPECT_EQ(lines[i].substr(effect), "entry " + std::to_string(next[writer]++)) << lines[i];
    }
    EXPECT_EQ(next, (std::map<std::string, int>{{"writer0", kWrites}, {"writer1", kWrites}, {"writer2", kWrites}}));
    // Every count of the hardware fact.
    HardwareState hw;
    ASSERT_TRUE(ReadHardwareState(&hw));
    EXPECT_EQ(hw.batteryCurrent, kChildren * kWrites);
}

}  // namespace
