// The table of every placed entry: sortable by each column, filtered by the text in its box
// (or by "#filter=..." in the page's address, so that a link can carry a filter).

function renderEntries(context) {
    const report = context.report;
    const entries = report.entries;
    const section = reportSection("tarvel-entries", "Entries");
    const areaUsed = new Map(report.areas.map((area) => [area.name, area.used]));
    const hasObjects = entries.some((entry) => entry.object !== undefined);
    const hasArchives = hasObjects && entries.some((entry) => entry.archive !== undefined);
    const text = (value) => (value === undefined || value === null ? "" : value);
    const columns = [
        { title: "Name", value: (i) => entries[i].name, text: (i) => entries[i].name },
        { title: "Area", value: (i) => entries[i].area, text: (i) => entries[i].area },
        {
            title: "Address",
            numeric: true,
            value: (i) => entries[i].address,
            text: (i) => formatAddress(entries[i].address),
        },
        { title: "Size", numeric: true, value: (i) => entryBytes(entries[i]), text: (i) => sizeText(entries[i]) },
        {
            title: "Share of area",
            numeric: true,
            value: (i) => percentOf(entryBytes(entries[i]), areaUsed.get(entries[i].area) || 0),
            text: (i) => formatPercent(percentOf(entryBytes(entries[i]), areaUsed.get(entries[i].area) || 0)),
        },
        { title: "Search", value: (i) => text(entries[i].search), text: (i) => text(entries[i].search) },
    ];
    if (hasObjects) {
        columns.push({
            title: "Object file",
            value: (i) => text(entries[i].object),
            text: (i) => text(entries[i].object),
        });
    }
    if (hasArchives) {
        columns.push({
            title: "Archive",
            value: (i) => text(entries[i].archive),
            text: (i) => text(entries[i].archive),
        });
    }
    const changes = context.changes;
    if (changes !== null) {
        columns.push({
            title: "Change",
            numeric: true,
            value: (i) => changes.ofEntry(i),
            text: (i) => (changes.ofEntry(i) === 0 ? "" : formatSigned(changes.ofEntry(i))),
        });
    }
    const matches = (i, pattern) => {
        const entry = entries[i];
        return (
            pattern.test(entry.name) ||
            pattern.test(entry.area) ||
            (typeof entry.search === "string" && pattern.test(entry.search)) ||
            (entry.object !== undefined && pattern.test(entry.object)) ||
            (entry.archive !== undefined && pattern.test(entry.archive))
        );
    };
    const table = dataTable({
        id: "entries",
        caption: "Every entry in an area, program entries then RAM entries, in address order",
        count: entries.length,
        columns: columns,
        matches: matches,
        filter: context.fragment.filter,
        onFilter: (filter) => {
            context.fragment.filter = filter;
            writeFragment(context.fragment);
        },
    });
    section.appendChild(table.element);
    return section;
}
