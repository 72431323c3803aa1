// The interfaces of procedures that the wiring step fills take a partial table: a member left
// null keeps the interface's default, the least behaviour.
#pragma once

template <class P>
void FillIfNull(P& slot, P fallback) {
    if (!slot)
        slot = fallback;
}

// The table with each of the named members that is null taken from the defaults.
template <class Table, class... Member>
Table FilledFrom(Table table, const Table& defaults, Member Table::*... members) {
    (FillIfNull(table.*members, defaults.*members), ...);
    return table;
}

// The one installed table of an interface, made from its defaults on first use, so that it is
// whole whenever it is asked for.
template <class Table, auto Defaults>
Table& InstalledTable() {
    static Table table = Defaults();
    return table;
}
