// With a diff in the report: the change of every figure, found by name. Entries are matched
// by area and name, as the diff matched them; when an area holds several entries of one name,
// the first of them carries the change of them all.

function makeChanges(report) {
    const diff = report.diff;
    if (diff === undefined || diff === null) {
        return null;
    }
    const key = (area, name) => area + "\u0000" + name;
    const byName = new Map();
    for (const record of diff.entries) {
        if (record.status !== "removed") {
            const at = key(record.area, record.name);
            byName.set(at, (byName.get(at) || 0) + record.change);
        }
    }
    const ofEntries = new Float64Array(report.entries.length);
    const added = new Set(diff.entries.filter((r) => r.status === "added").map((r) => key(r.area, r.name)));
    const addedEntries = new Set();
    if (byName.size > 0) {
        const claimed = new Set();
        report.entries.forEach((entry, i) => {
            const at = key(entry.area, entry.name);
            if (byName.has(at) && !claimed.has(at)) {
                claimed.add(at);
                ofEntries[i] = byName.get(at);
                if (added.has(at)) {
                    addedEntries.add(i);
                }
            }
        });
    }
    const areas = new Map(diff.areas.map((record) => [record.name, record]));
    const searches = new Map(diff.searches.map((record) => [record.search, record]));
    return {
        base: diff.base,
        diff: diff,
        ofEntry: (i) => ofEntries[i],
        isAdded: (i) => addedEntries.has(i),
        ofArea: (name) => (areas.has(name) ? areas.get(name).change : 0),
        areaRecord: (name) => areas.get(name) || null,
        searchRecord: (text) => searches.get(text) || null,
        // The search's own change where the diff has it, else what its entries add up to.
        ofSearch: (text, summed) => (searches.has(text) ? searches.get(text).change : summed || 0),
    };
}

// How strongly a change shows: 0 for none, 1 to 4 growing, -1 to -4 shrinking, 5 for new.
function changeStep(change, bytesNow) {
    if (!change) {
        return 0;
    }
    const before = bytesNow - change;
    if (before <= 0) {
        return change > 0 ? 5 : 0;
    }
    const ratio = Math.abs(change) / before;
    const step = ratio < 0.02 ? 1 : ratio < 0.1 ? 2 : ratio < 0.5 ? 3 : 4;
    return change > 0 ? step : -step;
}
