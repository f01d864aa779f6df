# Turns the CSV of dunmere-bench into tables: every benchmark but the frames as it is, then one
# line per frame setting with the reference and the prepared renderer side by side.
function ms(value, unit) {
    if (unit == "ns") return value / 1e6
    if (unit == "us") return value / 1e3
    if (unit == "s") return value * 1e3
    return value
}
/^name,/ { next }
{
    name = $1
    gsub(/"/, "", name)
    time = ms($3, $5)
    if (name !~ /^RenderFrameBenchmark/) {
        printf "%-48s %10.1f ms\n", name, time
        next
    }
    split(name, part, "/")
    track = part[2]
    distance = substr(part[3], index(part[3], ":") + 1)
    objects = substr(part[4], index(part[4], ":") + 1)
    reference = substr(part[5], index(part[5], ":") + 1)
    scissor = substr(part[6], index(part[6], ":") + 1)
    key = track SUBSEP distance SUBSEP objects
    if (!(key in seen)) {
        seen[key] = 1
        order[++count] = key
    }
    if (reference == 1) referenceMs[key] = time
    else if (scissor == 1) scissorMs[key] = time
    else preparedMs[key] = time
}
END {
    printf "\n%-7s %-8s %-8s %12s %12s %7s %14s %8s\n", "track", "view", "objects",
           "reference", "prepared", "ratio", "prepared 1x1", "1x1/full"
    for (i = 1; i <= count; ++i) {
        split(order[i], k, SUBSEP)
        view = k[2] == 0 ? "map 255" : k[2]
        shown = k[3] == 1 ? "shown" : "hidden"
        p = preparedMs[order[i]]
        printf "%-7s %-8s %-8s %9.1f ms %9.1f ms %6.1fx %11.1f ms %7.0f%%\n", k[1], view,
               shown, referenceMs[order[i]], p, (p > 0 ? referenceMs[order[i]] / p : 0),
               scissorMs[order[i]], (p > 0 ? 100 * scissorMs[order[i]] / p : 0)
    }
}
