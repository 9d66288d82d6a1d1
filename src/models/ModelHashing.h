#pragma once

#include <QHashFunctions>
#include <QList>
#include <optional>

// Hashing helpers that agree with the records' equality: an optional hashes as
// an absent/present mark followed by its value, a list as its length followed
// by each element.
template<class T>
[[nodiscard]] size_t qHashOptional(const std::optional<T> &value, size_t seed)
{
    seed = qHashMulti(seed, value.has_value());
    return value ? qHashMulti(seed, *value) : seed;
}

template<class T>
[[nodiscard]] size_t qHashList(const QList<T> &list, size_t seed)
{
    seed = qHashMulti(seed, list.size());
    for (const T &element : list)
        seed = qHashMulti(seed, element);
    return seed;
}
