// The dispatch layer and the type library identity: what a host sees when it
// drives the control by member identifier.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

#include "test_support.h"
#include "typelib.h"

namespace purgewell::testing {
namespace {

using ::testing::ElementsAre;

class DispatchTest : public ::testing::Test {
 protected:
  HRESULT Get(int32_t dispid, Variant& out) {
    return host.control->Invoke(dispid, InvokeKind::PropertyGet, {}, &out);
  }
  HRESULT Put(int32_t dispid, Variant value) {
    return host.control->Invoke(dispid, InvokeKind::PropertyPut, {std::move(value)}, nullptr);
  }
  HRESULT Call(int32_t dispid, std::vector<Variant> args, Variant* out = nullptr) {
    return host.control->Invoke(dispid, InvokeKind::Method, args, out);
  }

  TempDir dir;
  Host host;
};

TEST_F(DispatchTest, NewControlReadsItsStartValues) {
  Variant v;
  ASSERT_EQ(Get(DISPID_VERSION, v), S_OK);
  EXPECT_EQ(v, Variant::Text("Version: 2.0.3"));
  ASSERT_EQ(Get(DISPID_LASTERRORNUMBER, v), S_OK);
  EXPECT_EQ(v, Variant::Long(0));
  ASSERT_EQ(Get(DISPID_LASTERRORDESCRIPTION, v), S_OK);
  EXPECT_EQ(v, Variant::Text(""));
  ASSERT_EQ(Get(DISPID_ASYNCHRONOUS, v), S_OK);
  EXPECT_EQ(v, Variant::Bool(false));
  EXPECT_FALSE(host.control->IsModified());
}

TEST_F(DispatchTest, ReadOnlyPropertiesRefuseWritesAndKeepTheirValues) {
  Call(DISPID_DELETEFILE, {Variant::Text(dir / "missing"), Variant::Long(1)});
  for (int32_t dispid : {DISPID_VERSION, DISPID_LASTERRORNUMBER, DISPID_LASTERRORDESCRIPTION}) {
    SCOPED_TRACE(dispid);
    Variant before, after;
    Get(dispid, before);
    EXPECT_EQ(Put(dispid, Variant::Long(7)), CTL_E_SETNOTSUPPORTED);
    EXPECT_EQ(Put(dispid, Variant::Text("x")), CTL_E_SETNOTSUPPORTED);
    Get(dispid, after);
    EXPECT_EQ(before, after);
  }
  EXPECT_EQ(static_cast<uint32_t>(CTL_E_SETNOTSUPPORTED), 0x800A017Fu);
}

TEST_F(DispatchTest, UnknownMembersAreNotFound) {
  for (int32_t dispid : {4, 0, 11, -1, -553}) {
    SCOPED_TRACE(dispid);
    Variant v;
    EXPECT_EQ(Get(dispid, v), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(Call(dispid, {}), DISP_E_MEMBERNOTFOUND);
  }
  EXPECT_EQ(static_cast<uint32_t>(DISP_E_MEMBERNOTFOUND), 0x80020003u);
}

TEST_F(DispatchTest, AsynchronousStoresWhetherTheSixteenBitValueIsNonZero) {
  struct Case {
    Variant value;
    bool expected;
  };
  const Case cases[] = {{Variant::Bool(true), true}, {Variant::Long(0), false},
                        {Variant::Long(1), true},    {Variant::Long(0x10000), false},
                        {Variant::Long(-1), true},   {Variant::Bool(false), false}};
  for (const Case& c : cases) {
    EXPECT_EQ(Put(DISPID_ASYNCHRONOUS, c.value), S_OK);
    Variant v;
    Get(DISPID_ASYNCHRONOUS, v);
    EXPECT_EQ(v, Variant::Bool(c.expected)) << c.value.number;
  }
  EXPECT_TRUE(host.control->IsModified());
}

TEST_F(DispatchTest, MethodsReturnBoolAsMinusOneOrZero) {
  WriteFile(dir / "f", "abc");
  Variant v;
  ASSERT_EQ(Call(DISPID_DELETEFILE, {Variant::Text(dir / "f"), Variant::Long(1)}, &v), S_OK);
  EXPECT_EQ(v.kind, Variant::Kind::Bool);
  EXPECT_EQ(v.number, -1);
  ASSERT_EQ(Call(DISPID_DELETEFILE, {Variant::Text(dir / "f"), Variant::Long(1)}, &v), S_OK);
  EXPECT_EQ(v.number, 0);
}

TEST_F(DispatchTest, ArgumentsMustFitTheMember) {
  EXPECT_EQ(Call(DISPID_DELETEFILE, {Variant::Text("x")}), DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Call(DISPID_DELETEFILE, {Variant::Long(1), Variant::Long(1)}), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Call(DISPID_DELETEFILES,
                 {Variant::Text("d"), Variant::Text("*"), Variant::Text("x"), Variant::Long(1)}),
            DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Put(DISPID_ASYNCHRONOUS, Variant::Text("yes")), DISP_E_TYPEMISMATCH);
  EXPECT_TRUE(host.log.events.empty());
}

TEST_F(DispatchTest, AboutBoxAndCancelAreAcceptedAtAnyTime) {
  EXPECT_EQ(Call(DISPID_ABOUTBOX, {}), S_OK);
  EXPECT_EQ(Call(DISPID_CANCELCURRENTOPERATION, {}), S_OK);
  EXPECT_TRUE(host.log.events.empty());
}

TEST(TypeLibraryTest, IdentityIsFixed) {
  const TypeLibraryInfo& lib = TypeLibrary();
  EXPECT_EQ(lib.name, "PurgewellLib");
  EXPECT_EQ(lib.libraryId, "{9D551919-5B7B-4908-AC25-C56A4FBCC9EB}");
  EXPECT_EQ(lib.majorVersion, 2);
  EXPECT_EQ(lib.minorVersion, 0);
  EXPECT_EQ(lib.helpString, "Quintelle, Inc. Purgewell v2");
  EXPECT_EQ(lib.helpFile, "Purgewellv2.chm");
  EXPECT_EQ(lib.dispatchId, "{EDC5058F-D095-49D7-9F00-95C6B80C11F6}");
  EXPECT_EQ(lib.eventsId, "{886DD22F-4A31-462D-B444-E30B35DB7AC6}");
  EXPECT_EQ(lib.classId, "{13B1B660-6516-4C8A-93C3-50E7EF524CFA}");
  EXPECT_EQ(lib.classHelp, "Purgewell Control");
}

TEST(TypeLibraryTest, MembersAndEventsHaveTheirIdentifiers) {
  std::vector<std::pair<int32_t, std::string>> members;
  for (const MemberInfo& m : DispatchMembers()) members.emplace_back(m.dispid, m.name);
  EXPECT_THAT(members, ElementsAre(std::pair<int32_t, std::string>{-552, "AboutBox"},
                                   std::pair<int32_t, std::string>{1, "Version"},
                                   std::pair<int32_t, std::string>{2, "LastErrorDescription"},
                                   std::pair<int32_t, std::string>{3, "LastErrorNumber"},
                                   std::pair<int32_t, std::string>{5, "DeleteFile"},
                                   std::pair<int32_t, std::string>{6, "ClearFreeSpace"},
                                   std::pair<int32_t, std::string>{7, "Asynchronous"},
                                   std::pair<int32_t, std::string>{8, "DeleteDirectory"},
                                   std::pair<int32_t, std::string>{9, "DeleteFiles"},
                                   std::pair<int32_t, std::string>{10, "CancelCurrentOperation"}));
  EXPECT_EQ(FindMember(9)->params.size(), 4u);
  EXPECT_EQ(FindMember(9)->params[2].name, "bIncludeSubdirectories");
  EXPECT_EQ(FindMember(5)->helpString, "Deletes a file securely from the disk");

  std::vector<std::pair<int32_t, std::string>> events;
  for (const EventInfo& e : EventMembers()) events.emplace_back(e.dispid, e.name);
  EXPECT_THAT(events, ElementsAre(std::pair<int32_t, std::string>{1, "OnFileDeleteProgress"},
                                  std::pair<int32_t, std::string>{2, "OnError"},
                                  std::pair<int32_t, std::string>{3, "OnFileDeleted"},
                                  std::pair<int32_t, std::string>{4, "OnDirectoryDeleted"},
                                  std::pair<int32_t, std::string>{5, "OnFreeSpaceWipeProgress"},
                                  std::pair<int32_t, std::string>{6, "OnCleanFreeSpace"}));
}

TEST(EventsTest, EveryAdvisedSinkHearsEveryEventUntilUnadvised) {
  TempDir dir;
  Host host;
  EventLog second;
  const uint32_t cookie = host.control->Advise(&second);
  host.control->DeleteFile(dir / "missing", 1);
  EXPECT_EQ(host.log.Summary(), std::vector<std::string>{"Error 2"});
  EXPECT_EQ(second.Summary(), std::vector<std::string>{"Error 2"});
  host.control->Unadvise(cookie);
  host.control->DeleteFile(dir / "missing", 1);
  EXPECT_EQ(host.log.events.size(), 2u);
  EXPECT_EQ(second.events.size(), 1u);
}

TEST(EventsTest, TypedHandlerDecodesEachEvent) {
  struct Handler : PurgewellEventHandler {
    std::vector<std::string> seen;
    void OnFileDeleteProgress(int32_t done, int32_t total, int32_t pass,
                              const std::string& file) override {
      seen.push_back("progress " + std::to_string(done) + " " + std::to_string(total) + " " +
                     std::to_string(pass) + " " + file);
    }
    void OnError(int32_t code, const std::string& text) override {
      seen.push_back("error " + std::to_string(code) + " " + text);
    }
    void OnFreeSpaceWipeProgress(const std::string& drive, int32_t pct, int32_t kb,
                                 int32_t total) override {
      seen.push_back("free " + drive + " " + std::to_string(pct) + " " + std::to_string(kb) + " " +
                     std::to_string(total));
    }
  } handler;
  handler.Invoke(EVENTID_ONFILEDELETEPROGRESS,
                 {Variant::Long(1), Variant::Long(2), Variant::Long(3), Variant::Text("f")});
  handler.Invoke(EVENTID_ONERROR, {Variant::Long(5), Variant::Text("bad")});
  handler.Invoke(EVENTID_ONFREESPACEWIPEPROGRESS,
                 {Variant::Text("/mnt"), Variant::Long(40), Variant::Long(8), Variant::Long(20)});
  handler.Invoke(EVENTID_ONERROR, {Variant::Long(5)});  // malformed: ignored
  EXPECT_THAT(handler.seen, ElementsAre("progress 1 2 3 f", "error 5 bad", "free /mnt 40 8 20"));
}

}  // namespace
}  // namespace purgewell::testing
