// Seeding of cloud layers: where emitters land, the order of the random draws, which
// fields are written, and that nothing outside the layer is ever touched.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

#include <gtest/gtest.h>

#include "layer_fixture.h"
#include "zeph_games/clouds.h"

using namespace Lumora;
using namespace Zeph_Games;
using test_layers::GuardedLayer;

namespace {

bool SameRecord(const TGLFX_Particle& a, const TGLFX_Particle& b) {
    return std::memcmp(&a, &b, sizeof(TGLFX_Particle)) == 0;
}

// Fills the fields seeding writes and a few it must not, so untouched records show.
void Scribble(TGLFX_Particle& E) {
    E.Pos = {7.0f, 8.0f, 9.0f};
    E.Size = 99.0f;
    E.Ang = 999.0f;
    E.Fade = -1.0f;
    E.MaxObj = 1234;
    E.P[0].LifeSpan = 42.0f;
    E.P[MAXPARTICLE].Active = true;
    E.Speed = {1.0f, 2.0f, 3.0f};
}

} // namespace

TEST(InitClouds, DemoArgumentsMakeAFlatDomeOfTurnedBillboards) {
    GuardedLayer g(1000, 0);
    auto layer = g.Layer();
    InitClouds(layer, 650, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);

    EXPECT_EQ(layer[0].MaxObj, 650);
    int negative = 0;
    for (int i = 0; i < 650; ++i) {
        const TGLFX_Particle& E = layer[i];
        SCOPED_TRACE(i);
        EXPECT_GE(E.Pos.Y, 0.0f);
        EXPECT_LT(E.Pos.Y, 3.051f);
        EXPECT_LT(std::fabs(E.Pos.X), 12.23f);
        EXPECT_LT(std::fabs(E.Pos.Z), 12.23f);
        EXPECT_GE(E.Fade, 0.0f);
        EXPECT_LT(E.Fade, 6.111f);
        EXPECT_GT(E.Size, -4.584f);
        EXPECT_LE(E.Size, 3.75f);
        EXPECT_EQ(E.Ang, std::round(E.Ang));
        EXPECT_GE(E.Ang, -179.0f);
        EXPECT_LE(E.Ang, 180.0f);
        if (i > 0) {
            EXPECT_EQ(E.MaxObj, 0);
        }
        // The horizontal spread is four times the vertical one: SX 2.0 against SY 0.5.
        const double horizontal = std::hypot(E.Pos.X, E.Pos.Z) / 2.0;
        const double vertical = E.Pos.Y / 0.5;
        EXPECT_NEAR(std::hypot(horizontal, vertical), E.Fade, 1e-4);
        if (E.Size < 0) ++negative;
    }
    // About 55 % of the sizes are negative.
    EXPECT_GT(negative, 650 * 45 / 100);
    EXPECT_LT(negative, 650 * 65 / 100);
    // Emitters beyond the count keep their zero contents.
    const TGLFX_Particle zero{};
    for (int i = 650; i < 1000; i += 70)
        EXPECT_TRUE(SameRecord(layer[i], zero)) << i;
}

TEST(InitClouds, EachEmitterTakesFiveDrawsInOrder) {
    // Unequal stretches and sizes so that a swapped axis or draw shows.
    const float Radius = 3.0f, SX = 1.5f, SY = 0.75f, SZ = 3.0f, AddVolume = 1.25f;
    GuardedLayer g(40, 0);
    auto layer = g.Layer();
    RandomReset();
    InitClouds(layer, 40, Radius, SX, SY, SZ, AddVolume);
    const double after = Random();

    RandomReset();
    constexpr double Pi = std::numbers::pi;
    for (int i = 0; i < 40; ++i) {
        SCOPED_TRACE(i);
        const double T1 = Random() * Pi * 2;
        const double T2 = Pi / 2 - Random() * (Pi / 2.1) - 0.02;
        const float d = RandomF(Radius);
        const float size = static_cast<float>(AddVolume / 2.0 + 2.5 - RandomF(AddVolume + 5.0f));
        const float ang = static_cast<float>(180 - Random(360));
        EXPECT_EQ(layer[i].Fade, d);
        EXPECT_EQ(layer[i].Pos.X, static_cast<float>(SX * double(d) * std::sin(T1) * std::sin(T2)));
        EXPECT_EQ(layer[i].Pos.Y, static_cast<float>(SY * double(d) * std::cos(T2)));
        EXPECT_EQ(layer[i].Pos.Z, static_cast<float>(SZ * double(d) * std::cos(T1) * std::sin(T2)));
        EXPECT_EQ(layer[i].Size, size);
        EXPECT_EQ(layer[i].Ang, ang);
    }
    // Exactly five draws each: the sequence goes on where the replay stops.
    EXPECT_EQ(after, Random());
}

TEST(InitClouds, ThreeLayersInARowDifferAndARunRepeatsThem) {
    auto seedThree = [](GuardedLayer(&g)[3]) {
        for (auto& l : g)
            InitClouds(l.Layer(), 50, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
    };
    GuardedLayer first[3] = {{50, 0}, {50, 0}, {50, 0}};
    GuardedLayer second[3] = {{50, 0}, {50, 0}, {50, 0}};
    RandomReset();
    seedThree(first);
    RandomReset();
    seedThree(second);

    for (int l = 0; l < 3; ++l)
        for (int i = 0; i < 50; ++i)
            ASSERT_TRUE(SameRecord(first[l].Layer()[i], second[l].Layer()[i])) << l << " " << i;
    for (int a = 0; a < 3; ++a)
        for (int b = a + 1; b < 3; ++b) {
            int same = 0;
            for (int i = 0; i < 50; ++i)
                same += first[a].Layer()[i].Pos.X == first[b].Layer()[i].Pos.X;
            EXPECT_EQ(same, 0) << "layers " << a << " and " << b;
        }
}

TEST(InitClouds, CountsOfZeroOrLessSeedNothing) {
    for (int32_t NumP : {0, -5}) {
        SCOPED_TRACE(NumP);
        GuardedLayer g(6, 0);
        auto layer = g.Layer();
        for (auto& E : layer)
            Scribble(E);
        TGLFX_Particle before = layer[3];
        RandomReset();
        InitClouds(layer, NumP, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
        EXPECT_EQ(layer[0].MaxObj, NumP);
        EXPECT_EQ(layer[0].Size, 99.0f);
        EXPECT_TRUE(SameRecord(layer[3], before));
        const double first = Random();
        RandomReset();
        EXPECT_EQ(first, Random()) << "no draw taken";
    }
}

TEST(InitClouds, WritesOnlyTheSeededFieldsOfTheSeededEmitters) {
    GuardedLayer g(8, 0);
    auto layer = g.Layer();
    for (auto& E : layer)
        Scribble(E);
    const TGLFX_Particle before = layer[7];
    InitClouds(layer, 5, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);

    EXPECT_EQ(layer[0].MaxObj, 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NE(layer[i].Ang, 999.0f);
        EXPECT_NE(layer[i].Size, 99.0f);
        EXPECT_NE(layer[i].Fade, -1.0f);
        if (i > 0) {
            EXPECT_EQ(layer[i].MaxObj, 1234);
        }
        EXPECT_EQ(layer[i].P[0].LifeSpan, 42.0f);
        EXPECT_TRUE(layer[i].P[MAXPARTICLE].Active);
        EXPECT_EQ(layer[i].Speed.Z, 3.0f);
    }
    for (int i = 5; i < 8; ++i)
        EXPECT_TRUE(SameRecord(layer[i], before)) << i;
}

TEST(InitClouds, CountOfTheWholeLayerSeedsEveryEmitter) {
    GuardedLayer g(12, 2);
    auto layer = g.Layer();
    for (auto& E : layer)
        Scribble(E);
    InitClouds(layer, 12, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
    EXPECT_EQ(layer[0].MaxObj, 12);
    for (int i = 0; i < 12; ++i)
        EXPECT_NE(layer[i].Ang, 999.0f) << i;
    EXPECT_TRUE(g.GuardsIntact());
}

TEST(InitClouds, CountBeyondTheLayerSeedsTheLayerOnly) {
    for (int32_t NumP : {13, 1000, INT32_MAX}) {
        SCOPED_TRACE(NumP);
        GuardedLayer g(12, 3);
        auto layer = g.Layer();
        RandomReset();
        InitClouds(layer, NumP, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
        const double after = Random();

        EXPECT_TRUE(g.GuardsIntact());
        // The recorded count is what was seeded, so drawing stays inside the layer too.
        EXPECT_EQ(layer[0].MaxObj, 12);
        // Same emitters as seeding exactly the layer's size, and no draw beyond them.
        GuardedLayer exact(12, 0);
        RandomReset();
        InitClouds(exact.Layer(), 12, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
        EXPECT_EQ(after, Random());
        for (int i = 0; i < 12; ++i)
            EXPECT_TRUE(SameRecord(layer[i], exact.Layer()[i])) << i;
    }
}

TEST(InitClouds, EmptyLayerIsLeftAlone) {
    RandomReset();
    InitClouds(std::span<TGLFX_Particle>{}, 10, 5.5f, 2.0f, 0.5f, 2.0f, 2.5f);
    const double first = Random();
    RandomReset();
    EXPECT_EQ(first, Random());
}
