#include <gtest/gtest.h>

#include "framework/Component.h"
#include "framework/Set.h"

namespace {
enum class Flag : uint8_t { A, B, C, D, E };

struct Tracked : TComponent {
    Tracked(TComponent* owner, int& alive) : TComponent(owner), alive(alive) { ++alive; }
    ~Tracked() override { --alive; }
    int& alive;
};
}  // namespace

TEST(Set, HoldsValueNAsBitNOfOneByte) {
    TSet<Flag> set{Flag::A, Flag::E};
    EXPECT_EQ(set.Bits(), 0x11);
    EXPECT_TRUE(set.Contains(Flag::E));
    EXPECT_FALSE(set.Contains(Flag::B));
    set.Include(Flag::B).Exclude(Flag::A);
    EXPECT_EQ(set.Bits(), 0x12);
    EXPECT_EQ(TSet<Flag>::FromBits(0x12), set);
    EXPECT_TRUE(TSet<Flag>().Empty());
    static_assert(sizeof(TSet<Flag>) == 1);
}

TEST(Component, OwnerFreesWhatItOwnsAndAFreedComponentLeavesItsOwner) {
    int alive = 0;
    {
        TComponent owner(nullptr);
        new Tracked(&owner, alive);
        auto* second = new Tracked(&owner, alive);
        EXPECT_EQ(owner.Components().size(), 2u);
        EXPECT_EQ(second->Owner(), &owner);
        delete second;
        EXPECT_EQ(owner.Components().size(), 1u);
        EXPECT_EQ(alive, 1);
    }
    EXPECT_EQ(alive, 0);
}
