#include "platform/com/com_ptr.h"

#include <gtest/gtest.h>

#include "platform/com/runtime.h"

namespace {

struct IThing : IUnknown {
  static constexpr IID kIid = GUID::Parse("{6A1D0F00-0000-4000-8000-000000000001}");
  virtual int Value() = 0;
};
struct IBetterThing : IThing {
  using Base = IThing;
  static constexpr IID kIid = GUID::Parse("{6A1D0F00-0000-4000-8000-000000000002}");
  virtual int Better() = 0;
};

struct IOther : IUnknown {
  static constexpr IID kIid = GUID::Parse("{6A1D0F00-0000-4000-8000-0000000000FF}");
};

int alive = 0;

class Thing : public com::Object<IBetterThing> {
 public:
  Thing() { ++alive; }
  ~Thing() override { --alive; }
  int Value() override { return 7; }
  int Better() override { return 8; }
};

TEST(ComPtr, ReleasesOnResetAndLeavesTheSlotEmpty) {
  {
    auto thing = MakeCom<Thing>();
    ComPtr<IThing> copy = thing;
    EXPECT_EQ(alive, 1);
    thing.Reset();
    EXPECT_FALSE(thing);
    EXPECT_EQ(alive, 1) << "the copy still holds a reference";
    copy.Reset();
    EXPECT_EQ(alive, 0);
    EXPECT_FALSE(copy);
  }
  EXPECT_EQ(alive, 0);
}

TEST(ComPtr, QueryInterfaceFollowsInterfaceInheritance) {
  ComPtr<IBetterThing> thing = MakeCom<Thing>();
  ComPtr<IThing> base;
  ASSERT_EQ(thing.As(base), S_OK);
  EXPECT_EQ(base->Value(), 7);
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(thing.As(unknown), S_OK);
  EXPECT_TRUE(SameObject(unknown, base));

  ComPtr<IOther> other;
  EXPECT_EQ(thing.As(other), E_NOINTERFACE);
  EXPECT_FALSE(other);
}

TEST(ComRuntime, CreatesRegisteredClassesOnly) {
  constexpr CLSID clsid = GUID::Parse("{6A1D0F00-0000-4000-8000-000000000010}");
  ComPtr<IThing> thing;
  EXPECT_EQ(CoCreate(clsid, thing), REGDB_E_CLASSNOTREG);
  CoRegisterClass(clsid, FactoryOf<Thing>());
  ASSERT_EQ(CoCreate(clsid, thing), S_OK);
  EXPECT_EQ(thing->Value(), 7);
  thing.Reset();
  EXPECT_EQ(alive, 0);
  CoUnregisterClass(clsid);
}

TEST(Guid, ParsesAndPrintsTheRegistryForm) {
  constexpr GUID g = GUID::Parse("{33D9A760-90C8-11D0-BD43-00A0C911CE86}");
  EXPECT_EQ(g.Data1, 0x33D9A760u);
  EXPECT_EQ(g.Data4[7], 0x86);
  EXPECT_EQ(g.ToString(), "{33D9A760-90C8-11D0-BD43-00A0C911CE86}");
}

}  // namespace
