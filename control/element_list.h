// Tolvan's intrusive doubly linked list with one built-in cursor: CElement is the base of every
// listed type (CDelivery, CTimer), CElementList<T> the owning list over such elements. The link
// handling lives once in LinkedElement/LinkedElementList; the templates only add the types.
#pragma once

#include <type_traits>

// The untyped part of an element: its two links. Only the list changes them.
class LinkedElement {
  public:
    LinkedElement() = default;
    // An element is identified by its links: copying one would make two owners of a chain.
    LinkedElement(const LinkedElement&) = delete;
    LinkedElement& operator=(const LinkedElement&) = delete;

    // Deletes the successor (and so every element after this one) before finishing, and
    // unhooks this element from its predecessor, which then ends the chain. An element of a
    // list is deleted only through the list, which detaches it first (links null).
    virtual ~LinkedElement();

  protected:
    LinkedElement* NextLink() const { return next_; }
    LinkedElement* PreviousLink() const { return previous_; }

  private:
    friend class LinkedElementList;
    LinkedElement* next_ = nullptr;      // null at the end
    LinkedElement* previous_ = nullptr;  // null at the start
};

// Base of a listed type T; in both uses T and TLink are the derived type itself
// (`class CTimer : public CElement<CTimer, CTimer>`). T is the type GetObject hands out,
// TLink the type of the neighbours that GetNext and GetPrevious lead to.
template <class T, class TLink>
class CElement : public LinkedElement {
  public:
    ~CElement() override = default;

    // The element as its derived type: the element itself.
    virtual T* GetObject() { return static_cast<T*>(this); }

    // The neighbours, or null at the end and at the start. Read-only: a walk that must not
    // move a list's shared cursor follows these.
    TLink* GetNext() const { return Linked(NextLink()); }
    TLink* GetPrevious() const { return Linked(PreviousLink()); }

  private:
    static TLink* Linked(LinkedElement* link) {
        static_assert(std::is_base_of_v<LinkedElement, TLink>);
        return static_cast<TLink*>(link);
    }
};

// The untyped list with its cursor; CElementList gives it the element type. Every operation
// keeps Count equal to the number of elements from Head to Tail, and Tail without successor.
class LinkedElementList {
  public:
    LinkedElementList() = default;
    LinkedElementList(const LinkedElementList&) = delete;
    LinkedElementList& operator=(const LinkedElementList&) = delete;
    ~LinkedElementList() { Clear(); }

    // Number of elements.
    int Count() const { return count_; }
    // 1-based position of the cursor: 0 after First or Last on an empty list, Count + 1 after
    // Next walked past the last element (and after Detach of the tail), 0 after Previous
    // walked before the first.
    int CurrentIndex() const { return currentIndex_; }

    // Deletes every element (First, then DeleteCurrent until Head is null): Count 0, Head, Tail
    // and Current null. CurrentIndex ends as after a walk past the end: 1, or 0 when the list
    // was empty already.
    void Clear();

  protected:
    LinkedElement* HeadLink() const { return head_; }
    LinkedElement* TailLink() const { return tail_; }
    LinkedElement* CurrentLink() const { return current_; }

    LinkedElement* First();
    LinkedElement* Next();
    LinkedElement* Last();
    LinkedElement* Previous();
    LinkedElement* Add(LinkedElement* element);
    LinkedElement* Detach();
    LinkedElement* DeleteCurrent();

  private:
    int count_ = 0;
    LinkedElement* head_ = nullptr;
    LinkedElement* tail_ = nullptr;
    LinkedElement* current_ = nullptr;  // null: the cursor is off the list
    int currentIndex_ = 0;
};

// The list of elements of type T (derived from CElement<T, T>). It owns its elements and
// deletes them on DeleteCurrent, Clear and its own destruction. Its one cursor is shared by
// every user: a walk leaves it where it ended, so every walk begins with First. To find an
// element, walk First/Next until it comes up; the cursor then stays on it, so that
// DeleteCurrent removes exactly it. Every element returned comes through GetObject, or is
// null. Count, CurrentIndex and Clear are those of LinkedElementList. Not thread-safe.
template <class T>
class CElementList : public LinkedElementList {
  public:
    using Element = CElement<T, T>;

    T* Head() const { return Typed(HeadLink()); }
    T* Tail() const { return Typed(TailLink()); }
    // The cursor element, or null when the cursor is off the list.
    T* Current() const { return Typed(CurrentLink()); }

    // Puts the cursor on Head (CurrentIndex 1, or 0 when empty); returns the cursor element.
    T* First() { return Typed(LinkedElementList::First()); }
    // Moves the cursor to the successor (CurrentIndex + 1) and returns it, null past the end.
    // With the cursor already off the list: nothing changes, null.
    T* Next() { return Typed(LinkedElementList::Next()); }
    // Puts the cursor on Tail (CurrentIndex Count); returns the cursor element.
    T* Last() { return Typed(LinkedElementList::Last()); }
    // Moves the cursor to the predecessor (CurrentIndex - 1) and returns it, null before the
    // first. With the cursor already off the list: nothing changes, null.
    T* Previous() { return Typed(LinkedElementList::Previous()); }

    // Appends `element`, which the list owns from then on; it becomes Tail and the cursor
    // element, and CurrentIndex becomes Count. Returns it. Null is refused (null, list
    // unchanged); so is an element that already has a neighbour or is this list's Head, since
    // it belongs to a list already.
    T* Add(T* element) { return Typed(LinkedElementList::Add(ToLink(element))); }

    // Unlinks the cursor element and hands it to the caller, who owns it from then on (its
    // links are null). Head or Tail move past it; the cursor goes to its former successor
    // (null when it was Tail) with CurrentIndex unchanged. Null when the cursor is off the list
    // (nothing changes).
    T* Detach() { return Typed(LinkedElementList::Detach()); }

    // Detach, then delete the detached element if there was one. Returns the new cursor
    // element (the former successor), or null.
    T* DeleteCurrent() { return Typed(LinkedElementList::DeleteCurrent()); }

  private:
    static T* Typed(LinkedElement* link) {
        return link == nullptr ? nullptr : static_cast<Element*>(link)->GetObject();
    }
    static LinkedElement* ToLink(T* element) {
        static_assert(std::is_base_of_v<Element, T>, "a listed type derives from CElement<T, T>");
        return static_cast<Element*>(element);
    }
};
