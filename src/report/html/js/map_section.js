// The treemaps of program memory and RAM, the choice of grouping, the legend, and the notes
// on what the pictures leave out: ambiguous bytes and entries outside every area.

function legend(context) {
    const box = el("div", "legend");
    const swatch = (className, text) => {
        const item = el("span", "legend-item");
        appendAll(item, [el("span", "swatch " + className), el("span", "", text)]);
        return item;
    };
    if (context.changes !== null) {
        appendAll(box, [
            swatch("change-down-4", "shrank 50% or more"),
            swatch("change-down-2", "shrank"),
            swatch("change-none", "unchanged"),
            swatch("change-up-2", "grew"),
            swatch("change-up-4", "grew 50% or more"),
            swatch("change-up-5", "new"),
        ]);
    } else {
        box.appendChild(
            el("span", "legend-item", "Colours tell the groups apart; each tile names its group or entry."),
        );
    }
    appendAll(box, [swatch("tile-other", "folded: too small to draw"), swatch("tile-free", "free")]);
    return box;
}

function renderTreemaps(context) {
    const report = context.report;
    const section = reportSection("tarvel-treemaps", "Where the memory went");
    const controls = el("div", "treemap-controls");
    const choice = el("label", "", "Group by ");
    const select = el("select");
    for (const key of Object.keys(groupingTitles)) {
        const option = el("option", "", groupingTitles[key]);
        option.value = key;
        select.appendChild(option);
    }
    select.value = context.grouping;
    choice.appendChild(select);
    const freeChoice = el("label", "");
    const showFree = el("input");
    showFree.type = "checkbox";
    showFree.checked = context.fragment.free;
    appendAll(freeChoice, [showFree, document.createTextNode(" show free bytes")]);
    appendAll(controls, [choice, freeChoice, legend(context)]);
    section.appendChild(controls);
    section.appendChild(
        el(
            "p",
            "note",
            "Tile areas are proportional to bytes. Hover over a tile for its figures; click to zoom into it, " +
                "and use the path above the map to go back out.",
        ),
    );
    if (report.ambiguous.bytes > 0) {
        section.appendChild(
            setData(
                el(
                    "p",
                    "note ambiguous-note",
                    "Ambiguous: " +
                        formatBytes(report.ambiguous.bytes) +
                        " matched by more than one search, counted once (see Ambiguous names).",
                ),
                { ambiguous: report.ambiguous.bytes },
            ),
        );
    }
    if (report.unplaced.length > 0) {
        section.appendChild(
            setData(
                el(
                    "p",
                    "note unplaced-note",
                    "Unplaced: " +
                        formatCount(report.unplaced.length, "entry", "entries") +
                        " in no area, not drawn (see Outside every area).",
                ),
                { unplaced: report.unplaced.length },
            ),
        );
    }
    const holders = { program: el("div", "treemap-holder"), ram: el("div", "treemap-holder") };
    appendAll(section, [el("h3", "", "Program memory"), holders.program, el("h3", "", "RAM"), holders.ram]);
    let maps = [];

    function build() {
        const trees = buildMemoryTrees(report, context.grouping, context.changes, context.fragment.free);
        maps = [];
        for (const key of ["program", "ram"]) {
            const map = createTreemap(trees[key], context, key);
            holders[key].textContent = "";
            holders[key].appendChild(map.element);
            maps.push(map);
        }
    }
    function draw() {
        for (const map of maps) {
            map.draw();
        }
    }
    select.addEventListener("change", () => {
        context.grouping = select.value;
        context.fragment.group = select.value;
        writeFragment(context.fragment);
        build();
        draw();
    });
    showFree.addEventListener("change", () => {
        context.fragment.free = showFree.checked;
        writeFragment(context.fragment);
        build();
        draw();
    });
    let resizeTimer = 0;
    window.addEventListener("resize", () => {
        window.clearTimeout(resizeTimer);
        resizeTimer = window.setTimeout(draw, 150);
    });
    build();
    return { element: section, draw: draw };
}
