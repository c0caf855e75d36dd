#pragma once

namespace kel {

class Visitor;

// Base of the visitable model elements.
class Node {
public:
    virtual ~Node() = default;
    // Identity, not value equality.
    bool isSame(const Node& other) const { return this == &other; }
    // Calls the one visitor operation meant for this kind of node, and nothing else.
    virtual void accept(Visitor& visitor) = 0;

protected:
    Node() = default;
    Node(const Node&) = default;
    Node& operator=(const Node&) = default;
};

}  // namespace kel
