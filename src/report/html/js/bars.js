// One bar per memory figure: RAM and ROM as a whole, every area and the EEPROM blocks, with
// the limits of the --max budgets marked and the change against the base. An exceeded budget
// or an overfull area shows as a striped bar and says so in words, not by colour alone.

// The budgets of a target, matched as the budgets were: by its name, blanks around ignored.
function budgetsOf(context, target) {
    const wanted = String(target).trim();
    return context.budgets.filter((budget) => String(budget.target).trim() === wanted);
}

function budgetFlag(budget) {
    if (budget.kind === "max") {
        return (
            "Over budget: max " +
            budget.limit +
            " (" +
            formatBytes(budget.limit_bytes) +
            "), used " +
            formatBytes(budget.figure)
        );
    }
    return "Grew by " + formatSigned(budget.figure) + " B, more than the " + budget.limit + " allowed";
}

// The bytes by which a bar's figure is over its size: an area says so itself ("over", set
// where a linker map's sections ran past a region's end); a total or an area without it is over
// by what it uses beyond its size.
function overBytes(barInput) {
    if (barInput.over !== undefined && barInput.over !== null) {
        return barInput.over;
    }
    return barInput.used > barInput.size ? barInput.used - barInput.size : 0;
}

// A bar for `barInput`: {bar, name, kindTitle, kind, used, size, free, percent, over, target,
// change}.
function barRow(barInput, context) {
    const budgets = barInput.target === null ? [] : budgetsOf(context, barInput.target);
    const limits = budgets.filter((budget) => budget.kind === "max");
    const broken = budgets.filter((budget) => budget.exceeded === true);
    const over = overBytes(barInput);
    const overfull = over > 0;
    const row = setData(el("div", "bar-row"), {
        bar: barInput.bar,
        area: barInput.name,
        kind: barInput.kind,
        used: barInput.used,
        size: barInput.size,
        free: barInput.free,
        percent: barInput.percent,
        budget: limits.length > 0 ? limits[0].limit_bytes : undefined,
        exceeded: broken.length > 0 || overfull ? "1" : undefined,
        over: overfull ? over : undefined,
    });
    if (broken.length > 0 || overfull) {
        row.classList.add("exceeded");
    }
    if (overfull) {
        row.classList.add("overfull");
    }
    const name = el("div", "bar-name");
    appendAll(name, [el("span", "bar-title", barInput.name), el("span", "bar-kind", barInput.kindTitle)]);

    const track = el("div", "bar-track");
    track.setAttribute("role", "meter");
    track.setAttribute("aria-label", barInput.name + " used");
    track.setAttribute("aria-valuemin", "0");
    track.setAttribute("aria-valuemax", String(barInput.size));
    track.setAttribute("aria-valuenow", String(barInput.used));
    const fill = el("div", "bar-fill");
    const share = barInput.size > 0 ? Math.min(100, (barInput.used * 100) / barInput.size) : barInput.used > 0 ? 100 : 0;
    fill.style.width = share + "%";
    track.appendChild(fill);
    for (const limit of limits) {
        const marker = setData(el("div", "bar-limit"), { limit: limit.limit_bytes });
        const at = barInput.size > 0 ? Math.min(100, Math.max(0, (limit.limit_bytes * 100) / barInput.size)) : 100;
        marker.style.left = at + "%";
        marker.title = "max " + limit.limit + " (" + formatBytes(limit.limit_bytes) + ")";
        track.appendChild(marker);
    }

    const figures = el("div", "bar-figures");
    figures.appendChild(
        el(
            "span",
            "",
            formatBytes(barInput.used) +
                " used of " +
                formatBytes(barInput.size) +
                " \u00b7 " +
                formatPercent(barInput.percent) +
                " \u00b7 " +
                formatBytes(barInput.free) +
                " free",
        ),
    );
    if (barInput.change !== null && barInput.change !== undefined) {
        const direction = barInput.change.change > 0 ? "grew" : barInput.change.change < 0 ? "shrank" : "same";
        const arrow = direction === "grew" ? "\u25b2 " : direction === "shrank" ? "\u25bc " : "";
        figures.appendChild(
            setData(el("span", "bar-change " + direction, arrow + formatChange(barInput.change)), {
                change: barInput.change.change,
            }),
        );
    }
    for (const limit of limits.filter((budget) => budget.exceeded !== true)) {
        figures.appendChild(el("span", "bar-budget", "within max " + limit.limit));
    }
    appendAll(row, [name, track, figures]);
    for (const budget of broken) {
        row.appendChild(el("div", "bar-flag", budgetFlag(budget)));
    }
    if (overfull) {
        row.appendChild(el("div", "bar-flag bar-over", "Overfull: over by " + formatInt(over) + " bytes"));
    }
    return row;
}

const areaKindTitles = {
    program: "program area",
    ram: "RAM area",
    eeprom: "EEPROM area",
    other: "area in neither total",
};

const sectionKindTitles = {
    program: [
        ["code", "code"],
        ["constants", "constants"],
        ["load_images", "load images of RAM sections"],
        ["other", "other"],
    ],
    ram: [
        ["data", "initialised data"],
        ["zero_data", "zero data"],
        ["other", "other"],
    ],
};

// A map that names no memory regions has no sizes to draw bars against: what it places, by
// the kind of its sections, and how to give the target's memory.
function renderUseWithoutRegions(context) {
    const report = context.report;
    const section = reportSection("tarvel-bars", "Memory use");
    section.appendChild(
        el(
            "p",
            "note no-regions",
            "The map names no memory regions (linked with the linker's default script): give the " +
                "target's memory with --def FILE for totals and percentages.",
        ),
    );
    const kinds = report.by_section_kind || {};
    for (const [key, title] of [
        ["rom", "Program memory"],
        ["ram", "RAM"],
    ]) {
        const part = key === "rom" ? "program" : "ram";
        const list = setData(el("dl", "kind-use"), { memory: part });
        appendAll(list, [el("dt", "", title + " used"), el("dd", "", formatBytes(report[key].used))]);
        for (const [field, name] of sectionKindTitles[part]) {
            const bytes = kinds[part] === undefined ? 0 : kinds[part][field];
            appendAll(list, [el("dt", "kind-name", name), setData(el("dd", "", formatBytes(bytes)), { kind: field })]);
        }
        section.appendChild(list);
    }
    return section;
}

function renderBars(context) {
    const report = context.report;
    if (report.areas_from === "none") {
        return renderUseWithoutRegions(context);
    }
    const diff = context.changes === null ? null : context.changes.diff;
    const section = reportSection("tarvel-bars", "Memory use");
    const totals = el("div", "bars bars-totals");
    const total = (key, name, target, change) =>
        barRow(
            {
                bar: "total",
                name: name,
                kindTitle: "all " + name + " areas",
                kind: key,
                used: report[key].used,
                size: report[key].total,
                free: report[key].free,
                percent: report[key].used_percent,
                target: target,
                change: change,
            },
            context,
        );
    appendAll(totals, [
        total("ram", "RAM", "RAM", diff === null ? null : diff.ram),
        total("rom", "ROM", "ROM", diff === null ? null : diff.rom),
    ]);
    const bits =
        report.ram.bits > 0
            ? el(
                  "p",
                  "note",
                  "RAM holds " + formatInt(report.ram.bits) + " bits of bit variables, counted as eighths of a byte.",
              )
            : null;
    const areas = el("div", "bars bars-areas");
    for (const area of report.areas) {
        areas.appendChild(
            barRow(
                {
                    bar: "area",
                    name: area.name,
                    kindTitle: areaKindTitles[area.kind] || area.kind,
                    kind: area.kind,
                    used: area.used,
                    size: area.size,
                    free: area.free,
                    percent: area.used_percent,
                    over: area.over,
                    target: area.name,
                    change: context.changes === null ? null : context.changes.areaRecord(area.name),
                },
                context,
            ),
        );
    }
    appendAll(section, [totals, bits, el("h3", "", "Areas"), areas]);
    if (report.eeprom !== undefined) {
        const eeprom = el("div", "bars bars-eeprom");
        const blocks = [
            ["total", "EEPROM", "once and triple data"],
            ["once", "Once data", "stored once"],
            ["triple", "Triple data", "stored three times"],
        ];
        for (const [key, name, title] of blocks) {
            const block = report.eeprom[key];
            eeprom.appendChild(
                barRow(
                    {
                        bar: "eeprom",
                        name: name,
                        kindTitle: title,
                        kind: "eeprom",
                        used: block.used,
                        size: block.total,
                        free: block.free,
                        percent: block.used_percent,
                        target: null,
                        change: null,
                    },
                    context,
                ),
            );
        }
        appendAll(section, [el("h3", "", "EEPROM, from the EEPROM project file"), eeprom]);
    }
    return section;
}
