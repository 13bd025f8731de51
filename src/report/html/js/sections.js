// The smaller parts of the report: the header with the inputs, the searches, the budgets, the
// changes against the base, the entries outside every area and the ambiguous names.

function renderHeader(context) {
    const report = context.report;
    const input = report.input;
    const header = el("header", "report-header");
    header.appendChild(el("h1", "", "Tarvel memory report"));
    const list = el("dl", "inputs");
    const item = (field, term, value) => {
        list.appendChild(el("dt", "", term));
        list.appendChild(setData(el("dd", "", value), { field: field }));
    };
    item("map", "Map", input.map);
    item("type", "Map type", input.type + (input.detected ? " (detected from the map)" : " (given)"));
    item(
        "definition",
        "Memory definition",
        input.definition !== null
            ? input.definition
            : context.report.areas_from === "none"
              ? "none: the map names no memory regions"
              : "the map's own memory regions",
    );
    if (input.eep !== null) {
        item("eep", "EEPROM file", input.eep);
    }
    if (context.changes !== null) {
        item("base", "Compared with", context.changes.base);
    }
    item("date", "Run", context.settings.run_date || "");
    item("version", "Version", report.generator.program + " " + (context.settings.version || report.generator.version));
    const reader = report.reader;
    let seen =
        formatInt(reader.lines_read) +
        " lines read, " +
        formatInt(reader.entries_recognised) +
        " entries recognised, " +
        formatInt(reader.entries_placed) +
        " placed, " +
        formatInt(reader.entries_unplaced) +
        " outside every area";
    if (reader.entries_dropped > 0) {
        const rules = reader.dropped.map((drop) => drop.rule + ": " + formatInt(drop.count)).join(", ");
        seen += ", " + formatInt(reader.entries_dropped) + " left out (" + rules + ")";
    }
    item("reader", "Reader", seen);
    header.appendChild(list);
    return header;
}

function simpleTable(className, headings, rows, numericFrom) {
    const table = el("table", className);
    const head = el("tr");
    headings.forEach((heading, i) => {
        const cell = el("th", i >= numericFrom ? "numeric" : "", heading);
        cell.setAttribute("scope", "col");
        head.appendChild(cell);
    });
    table.appendChild(el("thead")).appendChild(head);
    const body = table.appendChild(el("tbody"));
    for (const row of rows) {
        const line = body.appendChild(el("tr", row.className || ""));
        if (row.data) {
            setData(line, row.data);
        }
        row.cells.forEach((cell, i) => line.appendChild(el("td", i >= numericFrom ? "numeric" : "", cell)));
    }
    return table;
}

function renderSearches(context) {
    const report = context.report;
    const section = reportSection("tarvel-searches", "Program memory by search");
    if (report.searches.length === 0) {
        section.appendChild(el("p", "note", "The memory definition names no search."));
        return section;
    }
    const changes = context.changes;
    const headings = ["Search", "Bytes", "Share of used ROM"];
    if (changes !== null) {
        headings.push("Change");
    }
    // A budget column only when a budget names a search.
    const withBudgets = report.searches.some((search) => budgetsOf(context, search.search).length > 0);
    if (withBudgets) {
        headings.push("Budget");
    }
    const budgetText = (target) =>
        budgetsOf(context, target)
            .map((budget) => (budget.exceeded ? "exceeded: " : "kept: ") + budget.kind + " " + budget.limit)
            .join("; ");
    const row = (name, bytes, percent, change, budget, data) => {
        const cells = [name, formatInt(bytes), formatPercent(percent)];
        if (changes !== null) {
            cells.push(change === null ? "" : formatChange(change));
        }
        if (withBudgets) {
            cells.push(budget);
        }
        return { cells: cells, data: data, className: budget.indexOf("exceeded") === 0 ? "exceeded" : "" };
    };
    const rows = report.searches.map((search) =>
        row(
            search.search,
            search.bytes,
            search.percent,
            changes === null ? null : changes.searchRecord(search.search),
            budgetText(search.search),
            { search: search.search, bytes: search.bytes },
        ),
    );
    rows.push(
        row("Accounted for in searches", report.accounted.bytes, report.accounted.percent, null, "", {
            accounted: report.accounted.bytes,
        }),
    );
    rows.push(
        row("Ambiguous, counted once", report.ambiguous.bytes, report.ambiguous.percent, null, "", {
            ambiguous: report.ambiguous.bytes,
        }),
    );
    rows[rows.length - 2].className += " total";
    rows[rows.length - 1].className += " total";
    section.appendChild(simpleTable("searches", headings, rows, 1));
    return section;
}

function renderBudgets(context) {
    if (context.budgets.length === 0) {
        return null;
    }
    const section = reportSection("tarvel-budgets", "Budgets");
    const rows = context.budgets.map((budget) => ({
        cells: [
            budget.target,
            budget.kind === "max" ? "max" : "max growth",
            budget.limit,
            formatInt(budget.limit_bytes),
            (budget.kind === "max" ? "" : budget.figure > 0 ? "+" : "") + formatInt(budget.figure),
            budget.exceeded ? "EXCEEDED" : "kept",
        ],
        className: budget.exceeded ? "exceeded" : "",
        data: { budget: budget.target, exceeded: budget.exceeded ? "1" : "0" },
    }));
    section.appendChild(
        simpleTable("budgets", ["Target", "Kind", "Limit", "Limit bytes", "Figure", "Status"], rows, 3),
    );
    return section;
}

function changeCells(name, change) {
    return [name, formatInt(change.before), formatInt(change.after), formatChange(change)];
}

function renderChanges(context) {
    if (context.changes === null) {
        return null;
    }
    const diff = context.changes.diff;
    const section = reportSection("tarvel-changes", "Changes against the base");
    section.appendChild(el("p", "note", "Base: " + diff.base));
    const figures = [
        { cells: changeCells("RAM", diff.ram), data: { figure: "RAM", change: diff.ram.change } },
        { cells: changeCells("ROM", diff.rom), data: { figure: "ROM", change: diff.rom.change } },
    ];
    for (const area of diff.areas) {
        figures.push({ cells: changeCells(area.name, area), data: { figure: area.name, change: area.change } });
    }
    for (const search of diff.searches) {
        figures.push({
            cells: changeCells("search " + search.search, search),
            data: { figure: search.search, change: search.change },
        });
    }
    section.appendChild(simpleTable("changes", ["Figure", "Before", "After", "Change"], figures, 1));

    section.appendChild(el("h3", "", "Largest changes of entries"));
    const entries = diff.entries;
    if (entries.length === 0) {
        section.appendChild(el("p", "note", "No entry was added, removed, grown or shrunk."));
        return section;
    }
    const table = dataTable({
        id: "changes",
        caption: "Entries added, removed, grown or shrunk, largest change first",
        count: entries.length,
        columns: [
            { title: "Status", value: (i) => entries[i].status, text: (i) => entries[i].status },
            { title: "Area", value: (i) => entries[i].area, text: (i) => entries[i].area },
            { title: "Name", value: (i) => entries[i].name, text: (i) => entries[i].name },
            {
                title: "Before",
                numeric: true,
                value: (i) => entries[i].before,
                text: (i) => formatInt(entries[i].before),
            },
            { title: "After", numeric: true, value: (i) => entries[i].after, text: (i) => formatInt(entries[i].after) },
            { title: "Change", numeric: true, value: (i) => entries[i].change, text: (i) => formatChange(entries[i]) },
        ],
        matches: (i, pattern) =>
            pattern.test(entries[i].name) || pattern.test(entries[i].area) || pattern.test(entries[i].status),
    });
    section.appendChild(table.element);
    return section;
}

function renderUnplaced(context) {
    const unplaced = context.report.unplaced;
    const section = reportSection("tarvel-unplaced", "Outside every area");
    if (unplaced.length === 0) {
        section.appendChild(el("p", "note", "Every entry the map holds lies in an area."));
        return section;
    }
    let bytes = 0;
    for (const entry of unplaced) {
        bytes += entryBytes(entry);
    }
    section.appendChild(
        setData(
            el(
                "p",
                "note",
                formatCount(unplaced.length, "entry", "entries") +
                    " of " +
                    formatBytes(bytes) +
                    " in no area of the definition: counted in no figure and drawn in no treemap.",
            ),
            { unplaced: unplaced.length, bytes: bytes },
        ),
    );
    const table = dataTable({
        id: "unplaced",
        count: unplaced.length,
        columns: [
            { title: "Name", value: (i) => unplaced[i].name, text: (i) => unplaced[i].name },
            {
                title: "Address",
                numeric: true,
                value: (i) => unplaced[i].address,
                text: (i) => formatAddress(unplaced[i].address),
            },
            { title: "Size", numeric: true, value: (i) => entryBytes(unplaced[i]), text: (i) => sizeText(unplaced[i]) },
            { title: "Object file", value: (i) => unplaced[i].object || "", text: (i) => unplaced[i].object || "" },
        ],
        matches: (i, pattern) => pattern.test(unplaced[i].name),
    });
    section.appendChild(table.element);
    return section;
}

function renderAmbiguities(context) {
    const ambiguous = context.report.ambiguous;
    if (ambiguous.records.length === 0) {
        return null;
    }
    const records = ambiguous.records;
    const section = reportSection("tarvel-ambiguities", "Ambiguous names");
    section.appendChild(
        el(
            "p",
            "note",
            formatCount(records.length, "time", "times") +
                " a search matched a name that was credited already; " +
                formatBytes(ambiguous.bytes) +
                " (" +
                formatPercent(ambiguous.percent) +
                " of the used ROM) were counted once only.",
        ),
    );
    const details = el("details");
    details.appendChild(el("summary", "", "Show the " + formatCount(records.length, "record", "records")));
    const table = dataTable({
        id: "ambiguities",
        count: records.length,
        columns: [
            { title: "Name", value: (i) => records[i].name, text: (i) => records[i].name },
            { title: "Matched again by", value: (i) => records[i].search, text: (i) => records[i].search },
            { title: "Credited to", value: (i) => records[i].earlier_search, text: (i) => records[i].earlier_search },
        ],
        matches: (i, pattern) => pattern.test(records[i].name) || pattern.test(records[i].search),
    });
    details.appendChild(table.element);
    section.appendChild(details);
    return section;
}

// "1,234" bytes, or "13 bits" for a bit variable.
function sizeText(entry) {
    return entry.bit === true ? formatInt(entry.size) + " bits" : formatInt(entry.size);
}
