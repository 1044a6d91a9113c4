#pragma once

#include "shop/Earnings.h"

// The statements of the reports window. Each one first sums the period's entries per worker,
// product, operation and colour: a plant's year holds over a million entries but only tens of
// thousands of such groups, so names, kinds and groups are joined to the groups, not to every
// entry. The outer grouping then gives the report's own rows, with the sums of the groups'
// sums. Maintenance and average-piecework amounts are summed once per worker and group for
// the whole period, not once per report row.
namespace reports::sql {

// clang-format off

// Report by workers: per worker, product group, operation kind, kind of product and colour.
inline constexpr const char *kByWorkers = R"(
    select person.s_caption fio, e.w_id, sum(e.qty)::numeric(10,2) as kolvo, vid_oper.vid,
           sum(e.pay)::numeric(10,2) as summa, izdel.nom, oper.naimen, e.color,
           coalesce(min(f7.amount),0)::numeric(10,2) f_sum7,
           coalesce(min(f8.amount),0)::numeric(10,2) f_sum8
    from (select w_id, i_id, o_id, color, sum)" TABEL_GOOD_PIECES("") R"( qty, sum()" TABEL_ENTRY_PAY("") R"() pay
          from accounts_dep.smena
          where data<:data2 and data>=:data1
          group by w_id, i_id, o_id, color) e
    join cmn_contractor.person person on e.w_id=person.s_code::integer
    join accounts_dep.izdel on izdel.id=e.i_id
    join accounts_dep.oper on oper.id=e.o_id
    join accounts_dep.vid_oper on vid_oper.id=oper.vid
    left join (select id_p, id_nom, sum(cnt*price) amount
               from accounts_dep.fatigue
               where d_date<:data4 and d_date>=:data3 and id_o=7777
               group by id_p, id_nom) f7 on f7.id_p=e.w_id and f7.id_nom=izdel.id_nom
    left join (select id_p, id_nom, sum(cnt*price) amount
               from accounts_dep.fatigue
               where d_date<:data6 and d_date>=:data5 and id_o=7778
               group by id_p, id_nom) f8 on f8.id_p=e.w_id and f8.id_nom=izdel.id_nom
    group by fio, izdel.nom, vid_oper.vid, e.w_id, izdel.id_nom, oper.naimen, e.color
    order by fio, e.w_id, izdel.nom, vid_oper.vid, oper.naimen, e.color)";

// Report by products and the reports window's workbook: quantities per product group,
// operation kind, kind of product and colour, with the boxes (mass). The report names each
// product (its mark) on its own line, so that two products of one group are told apart; the
// workbook adds them up per group, its boxes unrounded.
#define TABEL_PRODUCT_FROM                                                                    \
    "\n    from (select i_id, o_id, color, sum" TABEL_GOOD_PIECES("") " qty"                     \
    "\n          from accounts_dep.smena"                                                         \
    "\n          where data<:data2 and data>=:data1"                                              \
    "\n          group by i_id, o_id, color) e"                                                   \
    "\n    join accounts_dep.izdel on izdel.id=e.i_id"                                            \
    "\n    join accounts_dep.oper on oper.id=e.o_id"                                              \
    "\n    join accounts_dep.vid_oper on vid_oper.id=oper.vid"

inline constexpr const char *kByProducts = R"(
    select sum(e.qty)::numeric as kolvo, vid_oper.vid, izdel.nom, izdel.marka, oper.naimen, e.color,
           round((izdel.massa*sum(e.qty))::numeric,2) as mass)" TABEL_PRODUCT_FROM R"(
    group by izdel.nom, izdel.marka, e.color, oper.naimen, vid_oper.vid, izdel.massa
    order by izdel.nom, izdel.marka, vid_oper.vid, oper.naimen, e.color, izdel.massa)";

// The workbook's rows: as the report by products per group, the boxes unrounded.
inline constexpr const char *kWorkbook = R"(
    select sum(e.qty)::numeric as kolvo, vid_oper.vid, izdel.nom, oper.naimen, e.color,
           izdel.massa*sum(e.qty) as mass)" TABEL_PRODUCT_FROM R"(
    group by izdel.nom, e.color, oper.naimen, vid_oper.vid, izdel.massa
    order by izdel.nom, vid_oper.vid, oper.naimen, e.color, izdel.massa)";

#undef TABEL_PRODUCT_FROM

// Detailed report by workers: per worker, product, operation kind, kind of product and
// colour, with rejects and bonuses.
inline constexpr const char *kDetailByWorkers = R"(
    select person.s_caption fio, e.w_id, izdel.marka, vid_oper.vid, oper.naimen,
           sum(e.qty)::numeric as kolvo, sum(e.rejects)::bigint as brk, sum(e.pay) as summa,
           e.color, sum(e.bonus) as s_prize
    from (select w_id, i_id, o_id, color, sum(kol_vo) qty, sum(brak) rejects,
                 sum()" TABEL_ENTRY_PAY("") R"() pay, sum(prize*)" TABEL_ENTRY_PAY("") R"(/100) bonus
          from accounts_dep.smena
          where data<:data2 and data>=:data1
          group by w_id, i_id, o_id, color) e
    join cmn_contractor.person person on e.w_id=person.s_code::integer
    join accounts_dep.izdel on izdel.id=e.i_id
    join accounts_dep.oper on oper.id=e.o_id
    join accounts_dep.vid_oper on vid_oper.id=oper.vid
    group by fio, e.w_id, marka, vid_oper.vid, oper.naimen, e.color
    order by fio, e.w_id, marka, vid_oper.vid, oper.naimen, e.color)";

// Detailed report by products: per product group, product, operation kind, kind of product
// and colour.
inline constexpr const char *kDetailByProducts = R"(
    select izdel.marka, vid_oper.vid vid, oper.naimen, izdel.nom,
           sum(e.qty)::numeric as kolvo, sum(e.rejects)::bigint as brk, sum(e.pay) as summa,
           e.color, round((izdel.massa*sum(e.qty))::numeric,2) as mass
    from (select i_id, o_id, color, sum(kol_vo) qty, sum(brak) rejects,
                 sum()" TABEL_ENTRY_PAY("") R"() pay
          from accounts_dep.smena
          where data<:data2 and data>=:data1
          group by i_id, o_id, color) e
    join accounts_dep.izdel on izdel.id=e.i_id
    join accounts_dep.oper on oper.id=e.o_id
    join accounts_dep.vid_oper on vid_oper.id=oper.vid
    group by izdel.nom, marka, vid_oper.vid, oper.naimen, e.color, massa
    order by izdel.nom, marka, vid_oper.vid, oper.naimen, e.color, massa)";

// clang-format on

} // namespace reports::sql
