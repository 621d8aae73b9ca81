* Shift+Right três vezes seleciona três letras; Ctrl+C as copia sem fim de
* linha. Na linha seguinte, Ctrl+V as cola; sem seleção, Ctrl+C copia o texto
* todo e um fim de linha.
seja e "abcdef"
escreve "Selecione: " &
le edita e
transfere para c
escreve "[" e "] [" c "]"
escreve "Cole: " &
le v
escreve "[" v "]"
escreve "Copie tudo: " &
le edita v
transfere para c
escreve "[" c "]"
