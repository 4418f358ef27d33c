// OrderedList: the engine's ordered collections, a doubly linked ring through a sentinel node
// that is created on first use. Elements are shared handles; each node is a heap allocation.
// A position is a node; null stands for "none" (before the first or after the last element).
#pragma once

#include <cstddef>
#include <utility>

template <class E>
class OrderedList {
 public:
  struct Node {
    Node* next;
    Node* previous;
    E element;
  };
  using Position = Node*;

  OrderedList() = default;
  OrderedList(const OrderedList&) = delete;
  OrderedList& operator=(const OrderedList&) = delete;
  OrderedList(OrderedList&& other) noexcept
      : sentinel_(std::exchange(other.sentinel_, nullptr)),
        count_(std::exchange(other.count_, 0)) {}
  OrderedList& operator=(OrderedList&& other) noexcept {
    if (this != &other) {
      destroy();
      sentinel_ = std::exchange(other.sentinel_, nullptr);
      count_ = std::exchange(other.count_, 0);
    }
    return *this;
  }
  ~OrderedList() { destroy(); }

  std::size_t count() const { return count_; }
  bool empty() const { return count_ == 0; }

  Position first() const { return count_ != 0 ? sentinel_->next : nullptr; }
  Position last() const { return count_ != 0 ? sentinel_->previous : nullptr; }
  // The position after / before `at`; null past either end or for a null position.
  Position next(Position at) const {
    return at != nullptr && at->next != sentinel_ ? at->next : nullptr;
  }
  Position previous(Position at) const {
    return at != nullptr && at->previous != sentinel_ ? at->previous : nullptr;
  }

  // Adds an element behind the last one and returns its position.
  Position append(E element) {
    Node* ring = sentinelNode();
    Node* node = new Node{ring, ring->previous, std::move(element)};
    ring->previous->next = node;
    ring->previous = node;
    ++count_;
    return node;
  }

  // Removes the element at `at` (a position of this list) and returns the position that
  // followed it, null when it was the last. A null position removes nothing.
  Position remove(Position at) {
    if (at == nullptr || at == sentinel_) return nullptr;
    Position following = next(at);
    at->previous->next = at->next;
    at->next->previous = at->previous;
    --count_;
    delete at;
    return following;
  }

  // Removes the first element; false when the list was empty.
  bool removeFirst() {
    if (count_ == 0) return false;
    remove(sentinel_->next);
    return true;
  }

  // Removes every element; the sentinel stays for the next use.
  void clear() {
    while (removeFirst()) {
    }
  }

  // Range-for over the elements, front to back. To remove while walking, step with the
  // positions instead: remove() returns the position to go on from.
  class Iterator {
   public:
    Iterator(const OrderedList* list, Position at) : list_(list), at_(at) {}
    E& operator*() const { return at_->element; }
    Iterator& operator++() {
      at_ = list_->next(at_);
      return *this;
    }
    bool operator==(const Iterator& other) const { return at_ == other.at_; }

   private:
    const OrderedList* list_;
    Position at_;
  };
  Iterator begin() const { return Iterator(this, first()); }
  Iterator end() const { return Iterator(this, nullptr); }

 private:
  Node* sentinelNode() {
    if (sentinel_ == nullptr) {
      sentinel_ = new Node{nullptr, nullptr, E()};
      sentinel_->next = sentinel_->previous = sentinel_;
    }
    return sentinel_;
  }

  void destroy() {
    clear();
    delete sentinel_;
    sentinel_ = nullptr;
  }

  Node* sentinel_ = nullptr;
  std::size_t count_ = 0;
};
