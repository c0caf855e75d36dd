#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

#include "model/inline_list.h"
#include "model/polygon.h"
#include "model/scene_object.h"
#include "model/vertex.h"

namespace kel {
namespace {

// Appending, copying and clearing across the move from inline storage to the heap.
TEST(InlineListTest, KeepsOrderAndValuesOnEitherSideOfTheInlineLimit) {
    using List = InlineList<std::uintptr_t, 4>;
    const auto contents = [](const List& list) { return std::vector(list.begin(), list.end()); };
    for (const std::size_t count : {0u, 4u, 5u, 100u}) {
        List list;
        for (std::size_t i = 0; i < count; ++i) {
            list.push_back(1000 + i);
        }
        List assigned;
        assigned.push_back(99);
        assigned = list;
        assigned = assigned;  // NOLINT: assignment to itself keeps the values
        const List copy = list;
        list.push_back(7);  // the copies are lists of their own
        std::vector<std::uintptr_t> expected(count);
        std::iota(expected.begin(), expected.end(), 1000u);
        EXPECT_EQ(contents(assigned), expected) << count;
        EXPECT_EQ(contents(copy), expected) << count;
        List given;
        for (int i = 0; i < 9; ++i) {
            given.push_back(5);  // on the heap before, whatever count it is given
        }
        given.assign(expected.data(), count);
        EXPECT_EQ(contents(given), expected) << count;
        list.clear();
        EXPECT_EQ(list.capacity(), 4u) << count;
    }
}

// Vertices and polygons are held by value; the tree, the probe and the undo journal keep
// pointers to them, which must survive any number of later additions at either end.
TEST(ModelStorageTest, VerticesAndPolygonsKeepTheirAddressesAndOrder) {
    SceneObject object(1);
    std::vector<Vertex*> back;
    std::vector<Vertex*> front;
    // Blocks grow up to 64 KiB (at most 4,088 elements before): both kinds are crossed.
    // Room made for some of them ends inside a block; the blocks after come as needed.
    object.reserveVertices(7000);
    object.reserveVertices(10);  // less than reserved: nothing changes
    for (int i = 0; i < 12000; ++i) {
        back.push_back(&object.addVertex());
        back.back()->setId(i);
        if (i % 100 == 0) {
            // A copy of a vertex of the same object, as the readers make per surface.
            front.push_back(&object.insertVertexAtFront(*back[static_cast<std::size_t>(i / 2)]));
            front.back()->setId(-i);
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
    EXPECT_EQ(front.back()->id(), -11900);
    // A walk from any vertex meets the same vertices as indexing, across both ends.
    for (const std::size_t start :
         {std::size_t{0}, std::size_t{57}, std::size_t{119}, std::size_t{120}, std::size_t{8303}}) {
        auto walk = object.verticesFrom(start);
        for (std::size_t i = start; i < object.vertexCount(); ++i, ++walk) {
            ASSERT_EQ(&*walk, object.vertexAt(i)) << start << " " << i;
        }
    }

    Surface surface;
    std::vector<Polygon*> added;
    for (int i = 0; i < 9000; ++i) {
        added.push_back(&surface.addPolygon());
    }
    const PolygonList& list = surface.polygons();
    EXPECT_EQ(std::vector<Polygon*>(list.begin(), list.end()), added);
    EXPECT_EQ(std::vector<Polygon*>(list.from(8183), list.end()),
              std::vector<Polygon*>(added.begin() + 8183, added.end()));
    for (std::size_t i = 0; i < added.size(); ++i) {
        ASSERT_EQ(list[i], added[i]);
    }
}

// Corners beyond the four kept inline, set in order or the last first, as the readers do.
TEST(ModelStorageTest, PolygonCornersOfAnyCountAndOrder) {
    SceneObject object(1);
    for (int i = 0; i < 12; ++i) {
        object.addVertex();
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
                p.setVertexAt(j, object.vertexAt(j));
            }
            p.setVertexCount(count);
            for (std::size_t j = 0; j < count; ++j) {
                EXPECT_EQ(p.vertexAt(j), object.vertexAt(j)) << count;
            }
        }
    }
}

// A vertex projects only when |w| is at least a millionth, of either sign; below it, or
// for NaN, its last projection is left as it was. Otherwise every element is divided by w.
TEST(ModelStorageTest, ProjectionNeedsAMillionthOfW) {
    Vertex vertex;
    const Vector untouched(7.0, 8.0, 9.0, 10.0);
    for (const double w : {0.0, 9.999e-7, -9.999e-7, std::nan("")}) {
        vertex.setClipPosition(Vector(1.0, 2.0, 3.0, w));
        Vector result = untouched;
        EXPECT_FALSE(vertex.projectedPosition(result)) << w;
        for (std::size_t i = 0; i < 4; ++i) {
            EXPECT_EQ(result.at(i), untouched.at(i)) << w;
        }
    }
    for (const double w : {1e-6, -1e-6, 4.0}) {
        vertex.setClipPosition(Vector(1.0, -2.0, 3.0, w));
        Vector result;
        ASSERT_TRUE(vertex.projectedPosition(result)) << w;
        EXPECT_EQ(result.x(), 1.0 / w);
        EXPECT_EQ(result.y(), -2.0 / w);
        EXPECT_EQ(result.z(), 3.0 / w);
        EXPECT_EQ(result.at(3), 1.0);
    }
}

}  // namespace
}  // namespace kel
