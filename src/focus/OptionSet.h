#pragma once

#include <initializer_list>
#include <optional>
#include <utility>

// A set of flags over a signed integer raw value, with the whole set algebra.
// `Derived` is the concrete set (curiously recurring): results keep its type, so
// the sets of two different kinds never mix.
template <typename Derived> class OptionSet {
public:
    using RawValue = int;

    constexpr OptionSet() = default;
    // Every bit is kept, also bits that name no member.
    constexpr explicit OptionSet(RawValue rawValue)
        : m_rawValue(rawValue)
    {}
    // Built from a list of members: their raw values ORed.
    constexpr OptionSet(std::initializer_list<Derived> members)
    {
        for (const Derived& member : members)
            m_rawValue |= member.rawValue();
    }

    constexpr RawValue rawValue() const { return m_rawValue; }
    constexpr bool isEmpty() const { return m_rawValue == 0; }
    constexpr bool contains(Derived member) const
    {
        return (m_rawValue & member.rawValue()) == member.rawValue();
    }

    constexpr Derived unionWith(Derived other) const
    {
        return Derived(m_rawValue | other.rawValue());
    }
    constexpr Derived intersection(Derived other) const
    {
        return Derived(m_rawValue & other.rawValue());
    }
    constexpr Derived symmetricDifference(Derived other) const
    {
        return Derived(m_rawValue ^ other.rawValue());
    }
    constexpr Derived subtracting(Derived other) const
    {
        return Derived(m_rawValue & ~other.rawValue());
    }

    constexpr bool isSubset(Derived other) const { return subtracting(other).isEmpty(); }
    constexpr bool isSuperset(Derived other) const { return other.isSubset(self()); }
    constexpr bool isStrictSubset(Derived other) const
    {
        return isSubset(other) && self() != other;
    }
    constexpr bool isStrictSuperset(Derived other) const
    {
        return isSuperset(other) && self() != other;
    }
    constexpr bool isDisjoint(Derived other) const { return intersection(other).isEmpty(); }

    constexpr void formUnion(Derived other) { m_rawValue |= other.rawValue(); }
    constexpr void formIntersection(Derived other) { m_rawValue &= other.rawValue(); }
    constexpr void formSymmetricDifference(Derived other) { m_rawValue ^= other.rawValue(); }
    constexpr void subtract(Derived other) { m_rawValue &= ~other.rawValue(); }

    // Whether the member was newly inserted, and the member as it is now in the set.
    constexpr std::pair<bool, Derived> insert(Derived member)
    {
        if (contains(member))
            return {false, member};
        formUnion(member);
        return {true, member};
    }
    // The part of `member` that was in the set, or nothing when none was.
    constexpr std::optional<Derived> remove(Derived member)
    {
        const Derived removed = intersection(member);
        subtract(member);
        if (removed.isEmpty())
            return std::nullopt;
        return removed;
    }
    // Inserts the member; returns the part of it that was already there, if any.
    constexpr std::optional<Derived> update(Derived member)
    {
        const Derived present = intersection(member);
        formUnion(member);
        if (present.isEmpty())
            return std::nullopt;
        return present;
    }

    constexpr Derived operator|(Derived other) const { return unionWith(other); }
    constexpr Derived operator&(Derived other) const { return intersection(other); }
    constexpr Derived operator^(Derived other) const { return symmetricDifference(other); }
    constexpr Derived operator-(Derived other) const { return subtracting(other); }

    friend constexpr bool operator==(const OptionSet& a, const OptionSet& b)
    {
        return a.m_rawValue == b.m_rawValue;
    }

private:
    constexpr Derived self() const { return Derived(m_rawValue); }

    RawValue m_rawValue = 0;
};
