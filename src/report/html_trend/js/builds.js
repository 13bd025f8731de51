// The table of the builds, newest first: the commit, its parent and time, and for every area
// the used bytes and the change against the latest earlier build with the area. It shows a
// page of rows at a time, so ten thousand builds make no more rows than ten.

function renderBuildTable(trend, changes) {
    const builds = trend.builds;
    const count = builds.length;
    const section = reportSection("tarvel-builds", "Builds");
    if (count === 0) {
        section.appendChild(el("p", "note", "No build is stored for this target and branch."));
        return section;
    }
    // Row r shows build count - 1 - r: the newest on top.
    const buildOf = (row) => count - 1 - row;
    const columns = [
        {
            title: "#",
            numeric: true,
            value: (row) => buildOf(row) + 1,
            text: (row) => formatInt(buildOf(row) + 1),
        },
        // Twelve digits tell commits apart in any history of a size to chart; the filter and
        // the charts' tooltips use the full id.
        {
            title: "Commit",
            value: (row) => builds[buildOf(row)].commit,
            text: (row) => shortCommit(builds[buildOf(row)].commit),
        },
        {
            title: "Parent",
            value: (row) => builds[buildOf(row)].parent || "",
            text: (row) => shortCommit(builds[buildOf(row)].parent || ""),
        },
        { title: "Time", value: (row) => builds[buildOf(row)].time, text: (row) => builds[buildOf(row)].time },
    ];
    trend.areas.forEach((area, index) => {
        const used = area.used;
        const change = changes[index];
        columns.push({
            title: area.name,
            numeric: true,
            value: (row) => (used[buildOf(row)] === null ? -Infinity : used[buildOf(row)]),
            text: (row) => (used[buildOf(row)] === null ? "\u2013" : formatInt(used[buildOf(row)])),
        });
        columns.push({
            title: area.name + " change",
            numeric: true,
            value: (row) => (Number.isFinite(change[buildOf(row)]) ? change[buildOf(row)] : -Infinity),
            text: (row) => (Number.isFinite(change[buildOf(row)]) ? formatSigned(change[buildOf(row)]) : ""),
        });
    });
    const table = dataTable({
        id: "builds",
        caption:
            "Used bytes of every area per build, newest first; the change is against the latest " +
            "earlier build with the area",
        count: count,
        columns: columns,
        matches: (row, pattern) => {
            const build = builds[buildOf(row)];
            return pattern.test(build.commit) || pattern.test(build.parent || "") || pattern.test(build.time);
        },
    });
    section.appendChild(table.element);
    return section;
}
