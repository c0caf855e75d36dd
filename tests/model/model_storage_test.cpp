#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "model/inline_list.h"
#include "model/polygon.h"
#include "model/scene_object.h"
#include "model/vertex.h"

namespace kel {
namespace {

using SmallList = InlineList<std::uintptr_t, 4>;

std::vector<std::uintptr_t> contents(const SmallList& list) {
    return {list.begin(), list.end()};
}

// Appending, copying and clearing across the move from inline storage to the heap.
TEST(InlineListTest, KeepsOrderAndValuesOnEitherSideOfTheInlineLimit) {
    for (const std::size_t count : {0u, 1u, 3u, 4u, 5u, 8u, 9u, 100u}) {
        SmallList list;
        std::vector<std::uintptr_t> expected;
        for (std::size_t i = 0; i < count; ++i) {
            list.push_back(1000 + i);
            expected.push_back(1000 + i);
        }
        EXPECT_EQ(contents(list), expected) << count;
        EXPECT_EQ(list.empty(), count == 0) << count;
        EXPECT_GE(list.capacity(), count) << count;

        SmallList copy = list;
        list.push_back(7);  // the copy is its own list
        EXPECT_EQ(contents(copy), expected) << count;
        SmallList assigned;
        assigned.push_back(99);
        assigned = copy;
        EXPECT_EQ(contents(assigned), expected) << count;
        assigned = assigned;  // NOLINT: assignment to itself keeps the values
        EXPECT_EQ(contents(assigned), expected) << count;

        list.clear();
        EXPECT_TRUE(list.empty()) << count;
        EXPECT_EQ(list.capacity(), 4u) << count;
        list.push_back(5);
        EXPECT_EQ(contents(list), std::vector<std::uintptr_t>{5}) << count;
    }
}

// set() beyond the end fills the gap; reserve() keeps what is there.
TEST(InlineListTest, SettingBeyondTheEndFillsAndReservingKeepsTheValues) {
    const struct {
        std::size_t reserve;
        std::size_t index;
    } cases[] = {{0, 0}, {0, 3}, {0, 4}, {0, 11}, {16, 2}, {16, 15}, {2, 6}};
    for (const auto& c : cases) {
        SmallList list;
        list.push_back(1);
        list.reserve(c.reserve);
        EXPECT_GE(list.capacity(), std::max<std::size_t>(c.reserve, 4)) << c.index;
        list.set(c.index, 42, 0);
        std::vector<std::uintptr_t> expected(std::max<std::size_t>(c.index + 1, 1), 0);
        expected[0] = 1;
        expected[c.index] = 42;
        EXPECT_EQ(contents(list), expected) << c.reserve << " " << c.index;
    }
}

// Vertices and polygons are held by value; the tree, the probe and the undo journal keep
// pointers to them, which must survive any number of later additions at either end.
TEST(ModelStorageTest, VerticesKeepTheirAddressesAndOrderWhenAddedAtEitherEnd) {
    SceneObject object(1);
    std::vector<Vertex*> back;
    std::vector<Vertex*> front;
    for (int i = 0; i < 5000; ++i) {
        Vertex& v = object.addVertex();
        v.setId(i);
        back.push_back(&v);
        if (i % 100 == 0) {
            // A copy of a vertex of the same object, as the readers make per surface.
            Vertex& copy = object.insertVertexAtFront(*back[static_cast<std::size_t>(i / 2)]);
            copy.setId(-i);
            front.push_back(&copy);
        }
    }
    ASSERT_EQ(object.vertexCount(), back.size() + front.size());
    // The latest at the front comes first; the ones added at the back follow in order.
    for (std::size_t i = 0; i < front.size(); ++i) {
        EXPECT_EQ(object.vertexAt(i), front[front.size() - 1 - i]) << i;
    }
    for (std::size_t i = 0; i < back.size(); ++i) {
        ASSERT_EQ(object.vertexAt(front.size() + i), back[i]) << i;
        ASSERT_EQ(back[i]->id(), static_cast<int>(i)) << i;
    }
    EXPECT_EQ(front.back()->id(), -4900);
}

TEST(ModelStorageTest, PolygonsKeepTheirAddressesAndOrder) {
    Surface surface;
    EXPECT_TRUE(surface.polygons().empty());
    std::vector<Polygon*> added;
    for (int i = 0; i < 3000; ++i) {
        Polygon& p = surface.addPolygon();
        p.setVertexCount(static_cast<std::size_t>(i));  // a mark to tell them apart
        added.push_back(&p);
    }
    const PolygonList& list = surface.polygons();
    ASSERT_EQ(list.size(), added.size());
    EXPECT_EQ(list.front(), added.front());
    EXPECT_EQ(list.back(), added.back());
    std::vector<Polygon*> walked;
    for (Polygon* p : list) {
        walked.push_back(p);
    }
    EXPECT_EQ(walked, added);
    for (std::size_t i = 0; i < added.size(); ++i) {
        ASSERT_EQ(list[i], added[i]);
        ASSERT_EQ(list[i]->vertexCount(), i);
    }
}

// Corners beyond the four kept inline, set in order or not, as the readers set them.
TEST(ModelStorageTest, PolygonCornersOfAnyCountAndOrder) {
    SceneObject object(1);
    std::vector<Vertex*> vertices;
    for (int i = 0; i < 12; ++i) {
        Vertex& v = object.addVertex();
        v.setId(i);
        vertices.push_back(&v);
    }
    for (const std::size_t count : {3u, 4u, 5u, 12u}) {
        for (const bool lastFirst : {false, true}) {
            Surface surface;
            Polygon& p = surface.addPolygon();
            if (lastFirst) {
                p.setVertexAt(count - 1, nullptr);  // sizes the array; the rest are null
                EXPECT_EQ(p.vertexAt(0), nullptr);
            }
            for (std::size_t j = 0; j < count; ++j) {
                p.setVertexAt(j, vertices[j]);
            }
            p.setVertexCount(count);
            for (std::size_t j = 0; j < count; ++j) {
                EXPECT_EQ(p.vertexAt(j), vertices[j]) << count;
                EXPECT_EQ(p.effectiveVertex(j), vertices[j]) << count;
            }
            EXPECT_EQ(p.effectiveVertexCount(), count);
        }
    }
}

// The world positions are kept as bare components: the normals from them are exact.
TEST(ModelStorageTest, NormalsFromStoredPositionsAndSharedPolygonLists) {
    SceneObject object(1);
    Vertex& centre = object.addVertex();
    Vertex& a = object.addVertex();
    Vertex& b = object.addVertex();
    centre.setWorldPosition(Vector(0.0, 0.0, 0.0));
    a.setWorldPosition(Vector(1.0, 0.0, 0.0));
    b.setWorldPosition(Vector(0.0, 1.0, 1.0));
    // Eight triangles on the centre, more than a vertex keeps inline; the last one turned.
    Surface surface;
    for (int i = 0; i < 8; ++i) {
        Polygon& p = surface.addPolygon();
        p.setVertexAt(0, &centre);
        p.setVertexAt(1, i == 7 ? &b : &a);
        p.setVertexAt(2, i == 7 ? &a : &b);
        p.setVertexCount(3);
        p.computeNormal();
        centre.addPolygon(&p);
    }
    ASSERT_EQ(centre.polygons().size(), 8u);
    // (a - centre) x (b - centre) = (0, -1, 1), over its length.
    const double s = 1.0 / std::sqrt(2.0);
    EXPECT_EQ(surface.polygons()[0]->normal(), Vector(0.0, -1.0 / std::sqrt(2.0), s));
    EXPECT_EQ(surface.polygons()[7]->normal(), Vector(0.0, s, -1.0 / std::sqrt(2.0)));
    centre.computeNormal();
    // Six more of the first than of the second: the same direction.
    const Vector n = centre.normal();
    ASSERT_EQ(n.size(), 3u);
    EXPECT_EQ(n.x(), 0.0);
    EXPECT_NEAR(n.y(), -s, 1e-15);
    EXPECT_NEAR(n.z(), s, 1e-15);

    Vertex copy = centre;  // lists the same polygons
    EXPECT_TRUE(std::equal(copy.polygons().begin(), copy.polygons().end(),
                           centre.polygons().begin(), centre.polygons().end()));
    copy.clearPolygons();
    EXPECT_TRUE(copy.polygons().empty());
    EXPECT_EQ(centre.polygons().size(), 8u);
    copy.computeNormal();  // no polygon: the normal stays
    EXPECT_EQ(copy.normal(), n);
}

TEST(ModelStorageTest, PositionsComeBackWithTheirSizeAndExactValues) {
    Vertex v;
    EXPECT_EQ(v.clipPosition(), Vector(1.0, 1.0, 1.0, 1.0));
    EXPECT_EQ(v.modelPosition(), Vector(0.0, 0.0, 0.0));
    v.setModelPosition(Vector(0.1, -2.5e300, 3.0));
    v.setWorldPosition(Vector(-0.0, 1e-310, 7.0));
    v.setClipPosition(Vector(2.0, 4.0, 6.0, 2.0));
    EXPECT_EQ(v.modelPosition(), Vector(0.1, -2.5e300, 3.0));
    EXPECT_EQ(v.worldPosition(), Vector(-0.0, 1e-310, 7.0));
    EXPECT_TRUE(std::signbit(v.worldPosition().x()));
    EXPECT_EQ(v.clipPosition().size(), 4u);
    Vector projected(4, 0.0);
    ASSERT_TRUE(v.projectedPosition(projected));
    EXPECT_EQ(projected, Vector(1.0, 2.0, 3.0, 1.0));
}

}  // namespace
}  // namespace kel
