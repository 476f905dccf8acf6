-- 社員の一覧 (sample worksheet)
SELECT e.empno, e.ename AS "名前", d.dname
  FROM emp e, dept d /* 部署を
     結合する */ WHERE e.deptno = d.deptno
   AND e.sal >= 1.5e+3 and e.comm <> 0
   AND e.ename LIKE 'O''Brien%' -- 'not a string
ORDER BY 1, 2;
INSERT INTO log VALUES ('未完の文字列
, 12.x, 0xFF, #13, 'ｶﾀｶﾅ', ａｂｃ１２３);
	select	/* tab */	1 from dual;

/* a bracket
   over
   three rows */ commit;
BEGIN dbms_output.put_line('ーカナ漢字。' || sysdate); END;
